// The pixel harness reads back what Mesa drew and tells a changed frame from
// its reference.
#include "tests/support/gl_context.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

namespace {

// A red square on a blue ground, lower left quarter of the view.
void DrawPattern(float squareGreen) {
    glClearColor(0, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glColor3f(1, squareGreen, 0);
    glBegin(GL_QUADS);
    glVertex2f(-1, -1);
    glVertex2f(0, -1);
    glVertex2f(0, 0);
    glVertex2f(-1, 0);
    glEnd();
}

}  // namespace

TEST(PixelKit, ReadsBackWhatWasDrawnTopDown) {
    pixeltest::cTestContext gl(64, 48);
    ASSERT_TRUE(gl.ok()) << gl.error();
    DrawPattern(0);
    const pixeltest::cFrame frame = gl.ReadBack();
    auto at = [&](int x, int y) { return &frame.rgb[(size_t(y) * frame.width + x) * 3]; };
    EXPECT_EQ(at(5, 45)[0], 255);  // bottom left: red
    EXPECT_EQ(at(5, 45)[2], 0);
    EXPECT_EQ(at(5, 5)[2], 255);   // top left: blue
    EXPECT_EQ(at(60, 45)[0], 0);   // bottom right: blue
}

TEST(PixelKit, MatchesReferenceAndNoticesAChange) {
    pixeltest::cTestContext gl(64, 48);
    ASSERT_TRUE(gl.ok()) << gl.error();
    DrawPattern(0);
    EXPECT_EQ(pixeltest::MatchReference("kit_pattern", gl.ReadBack(), 2, 0), "");
    DrawPattern(0.5f);
    const pixeltest::cFrame changed = gl.ReadBack();
    pixeltest::cFrame reference;
    ASSERT_TRUE(pixeltest::ReadPng(std::string(VK_SOURCE_DIR) + "/tests/reference/kit_pattern.png", reference));
    const pixeltest::cDifference d = pixeltest::Compare(changed, reference, 2);
    EXPECT_EQ(d.differing, 32 * 24);
    EXPECT_GE(d.largest, 127);
}
