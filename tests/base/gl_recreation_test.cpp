// The re-creation registry runs each registered function once, in order.
#include "base/gl_recreation.h"

#include <gtest/gtest.h>

#include <string>

namespace {
std::string ran;
void First() { ran += "1"; }
void Second() { ran += "2"; }
}  // namespace

TEST(GlRecreation, RunsEachRegisteredFunctionOnceInRegistrationOrder) {
    ClearGlRecreations();
    ran.clear();
    RegisterGlRecreation(Second);
    RegisterGlRecreation(First);
    RegisterGlRecreation(Second);
    RegisterGlRecreation(nullptr);
    RecreateGlObjects();
    EXPECT_EQ(ran, "21");
    RecreateGlObjects();
    EXPECT_EQ(ran, "2121");
    ClearGlRecreations();
    RecreateGlObjects();
    EXPECT_EQ(ran, "2121");
}
