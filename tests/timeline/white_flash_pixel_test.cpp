// The fixed flash at song time 24 s whitens the whole frame, whatever the
// scene; half a second later it is gone.
#include "tests/support/frame_render.h"
#include "tests/support/gl_context.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// The darkest channel value of the frame, and the brightest.
std::pair<int, int> Range(const pixeltest::cFrame& frame) {
    const auto [low, high] = std::minmax_element(frame.rgb.begin(), frame.rgb.end());
    return {*low, *high};
}

TEST(FixedFlash, WholeFrameIsWhiteAt24Seconds) {
    pixeltest::cTestContext gl;
    ASSERT_TRUE(gl.ok()) << gl.error();
    pixeltest::SetUpDemoGL();
    // Order 1 draws no scene: only the flash is on the cleared frame.
    pixeltest::RenderFrameAt(24.0, 0.0, 0, 1);
    const pixeltest::cFrame white = gl.ReadBack();
    EXPECT_GE(Range(white).first, 254) << "a pixel is not white";

    pixeltest::RenderFrameAt(24.5, 0.0, 0, 1);
    const pixeltest::cFrame black = gl.ReadBack();
    EXPECT_EQ(Range(black).second, 0) << "the flash outlasted its half second";

    // Half-way down the flash's curve, sin(0.75 * 3.1415) ~ 0.707 of white.
    pixeltest::RenderFrameAt(24.25, 0.0, 0, 1);
    const auto [low, high] = Range(gl.ReadBack());
    EXPECT_NEAR(low, 180, 2);
    EXPECT_NEAR(high, 180, 2);
}

}  // namespace
