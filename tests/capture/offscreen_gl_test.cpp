// The capture's offscreen GL, both ways of drawing without a window: the
// frame comes back the right way up, and its destination alpha reads as 1
// (the demo's flashes blend with it), with no X display.
#include "capture/offscreen_gl.h"

#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cstdlib>
#include <vector>

namespace {

constexpr int kWidth = 64, kHeight = 48;

// Grey-blue cleared with alpha 0, a red top half, then half-transparent
// white blended as the beat flash blends it.
std::vector<uint8_t> DrawTestFrame(cOffscreenGl& gl) {
    glClearColor(0.2f, 0.4f, 0.6f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glColor3f(1, 0, 0);
    glRectf(-1, 0, 1, 1);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_DST_ALPHA);
    glColor4f(1, 1, 1, 0.25f);
    glRectf(-1, -1, 0, 1);  // left half
    glDisable(GL_BLEND);
    std::vector<uint8_t> rgb(size_t(kWidth) * kHeight * 3);
    gl.ReadFrame(rgb.data());
    return rgb;
}

const uint8_t* At(const std::vector<uint8_t>& rgb, int x, int y) { return &rgb[(size_t(y) * kWidth + x) * 3]; }

void ExpectDemoLikeFrame(bool framebufferObject) {
    unsetenv("DISPLAY");
    cOffscreenGl gl;
    ASSERT_TRUE(gl.Open(kWidth, kHeight, framebufferObject)) << gl.Error();
    EXPECT_EQ(gl.Target(), framebufferObject ? cOffscreenGl::cTarget::kFramebufferObject : cOffscreenGl::cTarget::kPbuffer);
    const std::vector<uint8_t> rgb = DrawTestFrame(gl);
    // Rows top-down: red on top, the clear colour below.
    EXPECT_EQ(At(rgb, 50, 5)[0], 255);
    EXPECT_EQ(At(rgb, 50, 5)[2], 0);
    EXPECT_NEAR(At(rgb, 50, 40)[2], 153, 1);
    // White at a quarter added in full over the clear colour: 51 + 64.
    EXPECT_NEAR(At(rgb, 10, 40)[0], 115, 1);
    EXPECT_NEAR(At(rgb, 10, 40)[2], 217, 1);
}

}  // namespace

TEST(OffscreenGl, PbufferIsRgbWithoutAlphaTheRightWayUp) { ExpectDemoLikeFrame(false); }

TEST(OffscreenGl, FramebufferObjectIsRgbWithoutAlphaTheRightWayUp) { ExpectDemoLikeFrame(true); }
