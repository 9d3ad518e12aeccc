// The fixed GL state and projection of a new context.
#include <gtest/gtest.h>  // before the X headers, whose macros clash with it

#include "core/gl_view.h"

#include "tests/support/fake_gl.h"

#include <GL/gl.h>

namespace {

TEST(GlView, SetupGLSetsTheFixedStateThenTheProjectionOfTheViewSize) {
    fakegl::Reset();
    EXPECT_EQ(SetupGL(800, 600), 1);
    const std::vector<std::string> expected = {"glEnable", "glShadeModel", "glClearColor", "glClearDepth",
                                               "glEnable", "glDepthFunc", "glHint", "glViewport",
                                               "glMatrixMode", "glLoadIdentity", "gluPerspective", "glMatrixMode",
                                               "glFlush"};
    ASSERT_EQ(fakegl::Names(), expected) << fakegl::Trace();
    const auto& calls = fakegl::Calls();
    EXPECT_EQ(calls[0].args, (std::vector<double>{GL_TEXTURE_2D}));
    EXPECT_EQ(calls[1].args, (std::vector<double>{GL_SMOOTH}));
    EXPECT_EQ(calls[2].args, (std::vector<double>{0.5, 0.5, 0.5, 1.0}));
    EXPECT_EQ(calls[3].args, (std::vector<double>{1.0}));
    EXPECT_EQ(calls[4].args, (std::vector<double>{GL_DEPTH_TEST}));
    EXPECT_EQ(calls[5].args, (std::vector<double>{GL_LEQUAL}));
    EXPECT_EQ(calls[6].args, (std::vector<double>{GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST}));
    EXPECT_EQ(calls[7].args, (std::vector<double>{0, 0, 800, 600}));
    EXPECT_EQ(calls[8].args, (std::vector<double>{GL_PROJECTION}));
    EXPECT_EQ(calls[10].args, (std::vector<double>{65.0, 800.0 / 600.0, 0.0010000000474974513, 100.0}));
    EXPECT_EQ(calls[11].args, (std::vector<double>{GL_MODELVIEW}));
    // Lighting stays as it is: the effects switch it themselves.
    EXPECT_EQ(fakegl::Count("glDisable"), 0u);
}

TEST(GlView, ResizeViewTreatsZeroHeightAsOne) {
    fakegl::Reset();
    ResizeView(640, 0);
    ASSERT_EQ(fakegl::Count("gluPerspective"), 1u);
    EXPECT_EQ(fakegl::CallsNamed("glViewport")[0].args, (std::vector<double>{0, 0, 640, 1}));
    EXPECT_EQ(fakegl::CallsNamed("gluPerspective")[0].args[1], 640.0);
    // The modelview matrix is left alone; DrawFrame resets it every frame.
    EXPECT_EQ(fakegl::Count("glLoadIdentity"), 1u);
    EXPECT_EQ(fakegl::Names().back(), "glMatrixMode");
}

}  // namespace
