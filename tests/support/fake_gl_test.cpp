// The fake GL answers like GL where tests depend on it.
#include "tests/support/fake_gl.h"

#include <gtest/gtest.h>  // before the X headers, whose macros clash with it

#include <GL/gl.h>
#include <GL/glx.h>

TEST(FakeGl, RecordsCallsInOrderWithArguments) {
    fakegl::Reset();
    glBegin(GL_QUADS);
    glVertex3f(1, 2, 3);
    glEnd();
    const GLfloat position[4] = {0, 0, 0, 1};
    glLightfv(GL_LIGHT0, GL_POSITION, position);
    ASSERT_EQ(fakegl::Names(), (std::vector<std::string>{"glBegin", "glVertex3f", "glEnd", "glLightfv"}));
    EXPECT_EQ(fakegl::Calls()[1].args, (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(fakegl::Calls()[3].args, (std::vector<double>{GL_LIGHT0, GL_POSITION, 0, 0, 0, 1}));
    EXPECT_EQ(fakegl::Count("glVertex3f"), 1u);
    fakegl::Reset();
    EXPECT_TRUE(fakegl::Calls().empty());
}

TEST(FakeGl, TextureIsATextureOnlyOnceBoundAndUntilDeleted) {
    fakegl::Reset();
    GLuint names[2];
    glGenTextures(2, names);
    EXPECT_NE(names[0], names[1]);
    EXPECT_FALSE(glIsTexture(names[0]));
    glBindTexture(GL_TEXTURE_2D, names[0]);
    EXPECT_TRUE(glIsTexture(names[0]));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    EXPECT_EQ(fakegl::TextureParameter(names[0], GL_TEXTURE_MIN_FILTER), GL_NEAREST);
    glDeleteTextures(1, names);
    EXPECT_FALSE(glIsTexture(names[0]));
}

TEST(FakeGl, ListNamesAreFreshUnlessMadeToFail) {
    fakegl::Reset();
    const GLuint a = glGenLists(1), b = glGenLists(1);
    EXPECT_NE(a, 0u);
    EXPECT_NE(a, b);
    fakegl::FailGenLists(true);
    EXPECT_EQ(glGenLists(1), 0u);
    EXPECT_NE(glXGetCurrentContext(), nullptr);
    fakegl::SetContextCurrent(false);
    EXPECT_EQ(glXGetCurrentContext(), nullptr);
}

TEST(FakeGl, WithoutRecordingCallsAreOnlyCounted) {
    fakegl::Reset();
    glColor3f(1, 0, 0);
    fakegl::SetRecording(false);
    glVertex3f(1, 2, 3);
    const GLuint list = glGenLists(1);
    EXPECT_NE(list, 0u);
    EXPECT_EQ(fakegl::Calls().size(), 1u);
    EXPECT_EQ(fakegl::CallsMade(), 3u);
    fakegl::SetRecording(true);
    glEnd();
    EXPECT_EQ(fakegl::Names(), (std::vector<std::string>{"glColor3f", "glEnd"}));
    fakegl::Reset();
    EXPECT_EQ(fakegl::CallsMade(), 0u);
}
