// cDisplayList: one name for the life of the handle, nothing issued without one.
#include "base/display_list.h"

#include "tests/support/fake_gl.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

namespace {

// Each test starts from an empty record with a list that has no name yet.
class DisplayList : public ::testing::Test {
protected:
    void SetUp() override { fakegl::Reset(); }
    cDisplayList list;
};

}  // namespace

TEST_F(DisplayList, FirstBeginGeneratesTheOnlyName) {
    EXPECT_EQ(list.Id(), 0u);
    for (int frame = 0; frame < 5; ++frame) {
        list.Begin();
        glColor3f(1, 0, 0);
        list.End();
        list.Call();
    }
    EXPECT_EQ(fakegl::Count("glGenLists"), 1u);
    EXPECT_NE(list.Id(), 0u);
    const auto newLists = fakegl::CallsNamed("glNewList");
    ASSERT_EQ(newLists.size(), 5u);
    for (const auto& call : newLists) EXPECT_EQ(call.args, (std::vector<double>{double(list.Id()), GL_COMPILE}));
    EXPECT_EQ(fakegl::Count("glEndList"), 5u);
    EXPECT_EQ(fakegl::Count("glCallList"), 5u);
}

TEST_F(DisplayList, WithoutANameCallAndEndIssueNothing) {
    list.Call();
    list.End();
    EXPECT_TRUE(fakegl::Calls().empty());
}

TEST_F(DisplayList, FailedGenerationOpensNoListAndAsksAgainNextTime) {
    fakegl::FailGenLists(true);
    list.Begin();
    list.End();
    list.Call();
    EXPECT_EQ(fakegl::Names(), (std::vector<std::string>{"glGenLists"}));
    fakegl::FailGenLists(false);
    list.Begin();
    EXPECT_EQ(fakegl::Count("glGenLists"), 2u);
    EXPECT_EQ(fakegl::Count("glNewList"), 1u);
}

TEST_F(DisplayList, ForgottenNameIsMadeAgainInTheNextContext) {
    list.Begin();
    list.End();
    const unsigned first = list.Id();
    list.Forget();
    list.Call();
    EXPECT_EQ(fakegl::Count("glCallList"), 0u);
    list.Begin();
    EXPECT_NE(list.Id(), 0u);
    EXPECT_NE(list.Id(), first);
}
