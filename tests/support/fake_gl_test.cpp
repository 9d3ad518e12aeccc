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

TEST(FakeGl, ArrayDrawsCarryTheVerticesTheyFetchedAtTheTime) {
    fakegl::Reset();
    // Interleaved: two texture coordinates, then x, y, z; colours apart.
    GLfloat interleaved[3][5] = {{0, 1, 10, 11, 12}, {1, 0, 20, 21, 22}, {1, 1, 30, 31, 32}};
    const GLfloat colours[3][4] = {{1, 0, 0, 1}, {0, 1, 0, 1}, {0, 0, 1, 0.5f}};
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glTexCoordPointer(2, GL_FLOAT, sizeof(interleaved[0]), &interleaved[0][0]);
    glVertexPointer(3, GL_FLOAT, sizeof(interleaved[0]), &interleaved[0][2]);
    glColorPointer(4, GL_FLOAT, 0, colours);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glDrawArrays(GL_TRIANGLES, 1, 2);
    interleaved[1][2] = -1;  // later changes do not reach the record
    glPopClientAttrib();
    glDrawArrays(GL_POINTS, 0, 1);  // nothing enabled any more

    const auto draws = fakegl::CallsNamed("glDrawArrays");
    ASSERT_EQ(draws.size(), 2u);
    const auto& fetched = draws[0].fetched;
    ASSERT_EQ(fetched.size(), 8u);
    EXPECT_EQ(fetched[0].args, std::vector<double>{GL_TRIANGLES});
    EXPECT_EQ(fetched[1].args, (std::vector<double>{1, 0}));
    EXPECT_EQ(fetched[2].name, "glColor4f");
    EXPECT_EQ(fetched[2].args, (std::vector<double>{0, 1, 0, 1}));
    EXPECT_EQ(fetched[3].args, (std::vector<double>{20, 21, 22}));
    EXPECT_EQ(fetched[6].args, (std::vector<double>{30, 31, 32}));
    EXPECT_EQ(draws[1].fetched.size(), 2u);  // glBegin, glEnd
}

TEST(FakeGl, IsEnabledFollowsEnablesMadeOutsideListCompilation) {
    fakegl::Reset();
    glEnable(GL_FOG);
    glNewList(1, GL_COMPILE);
    glDisable(GL_FOG);
    glEndList();
    EXPECT_TRUE(glIsEnabled(GL_FOG));
    glDisable(GL_FOG);
    EXPECT_FALSE(glIsEnabled(GL_FOG));
}
