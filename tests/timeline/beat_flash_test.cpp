// The beat flash draws only strictly inside half a second of its reference.
#include "timeline/beat_flash.h"

#include <gtest/gtest.h>

#include "tests/support/fake_gl.h"
#include "tests/support/timeline_calls.h"

#include <cmath>
#include <limits>

using namespace timelinetest;

TEST(BeatFlash, DrawsNothingAtOrBeyondHalfASecond) {
    for (double r : {23.5, 24.5, 20.0, 30.0, std::numeric_limits<double>::quiet_NaN()}) {
        fakegl::Reset();
        DrawBeatFlash(24.0, r);
        EXPECT_TRUE(fakegl::Calls().empty()) << "reference " << r;
    }
}

TEST(BeatFlash, DrawsTheWholeViewJustInsideTheWindow) {
    for (double r : {23.5 + 1e-9, 24.5 - 1e-9, 24.0, 24.25}) {
        fakegl::Reset();
        DrawBeatFlash(24.0, r);
        const float alpha = float(std::sin((r - 24.0 + 0.5) * 3.1415));
        EXPECT_EQ(RecordedLines(), Flash(alpha)) << "reference " << r;
        EXPECT_FLOAT_EQ(float(fakegl::CallsNamed("glColor4f")[0].args[3]), alpha);
    }
}

