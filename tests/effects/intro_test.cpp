// The intro with the fake GL: what LoadIntro sets up, the light values each
// frame sends (a frame sends what the previous one computed), the strobe,
// the slide, the attenuation, and the GL half made again in a new context.
#include "effects/intro.h"

#include "base/gl_recreation.h"
#include "tests/support/bmp_test_file.h"
#include "tests/support/fake_gl.h"

#include <gtest/gtest.h>

#include <GL/gl.h>
#include <filesystem>

#include <string>
#include <vector>

using namespace bmptest;

namespace {

// Runs each test in a scratch folder holding Data/vindelbild.bmp.
class Intro : public ::testing::Test {
protected:
    void SetUp() override {
        fakegl::Reset();
        ClearGlRecreations();
        folder = MakeScratchDirectory();
        std::filesystem::create_directory(folder + "/Data");
        WriteFile(folder + "/Data/vindelbild.bmp", BmpBytes(6, 3, Distinct));
        previous = std::filesystem::current_path();
        std::filesystem::current_path(folder);
        intro = cIntro{};
    }
    void TearDown() override {
        std::filesystem::current_path(previous);
        RemoveDirectory(folder);
        ClearGlRecreations();
    }

    // The values one frame sends: ambient (4), constant attenuation, position (4).
    struct cSent {
        std::vector<double> ambient, position;
        double attenuation = -1;
    };
    cSent Frame(double t) {
        fakegl::ClearCalls();
        DrawIntro(intro, t);
        cSent sent;
        for (const fakegl::cCall& call : fakegl::CallsNamed("glLightfv")) {
            const std::vector<double> values(call.args.begin() + 2, call.args.end());
            if (call.args[1] == GL_AMBIENT) sent.ambient = values;
            if (call.args[1] == GL_POSITION) sent.position = values;
        }
        for (const fakegl::cCall& call : fakegl::CallsNamed("glLightf"))
            if (call.args[1] == GL_CONSTANT_ATTENUATION) sent.attenuation = call.args[2];
        return sent;
    }
    double Offset() {
        const auto moves = fakegl::CallsNamed("glTranslatef");
        return moves.empty() ? -99 : moves[0].args[0];
    }

    cIntro intro;
    std::string folder;
    std::filesystem::path previous;
};

using Values = std::vector<double>;

}  // namespace

TEST_F(Intro, LoadSetsAdditiveBlendingTheTextureAndLighting) {
    LoadIntro(intro);
    // (A texture left by an earlier test in this program is deleted first.)
    const std::vector<fakegl::cCall>& calls = fakegl::Calls();
    size_t first = 0;
    while (first < calls.size() && calls[first].name == "glDeleteTextures") ++first;
    ASSERT_GE(calls.size(), first + 2);
    EXPECT_EQ(calls[first].name, "glEnable");
    EXPECT_EQ(calls[first].args[0], GL_BLEND);
    EXPECT_EQ(calls[first + 1].name, "glBlendFunc");
    EXPECT_EQ(calls[first + 1].args, (Values{GL_SRC_ALPHA, GL_ONE}));

    // The intro's texture: uploaded from the 6 x 3 picture, nearest
    // minification and repeat from makeTexture, linear magnification after.
    const unsigned texture = fakegl::BoundTexture();
    EXPECT_NE(texture, 0u);
    EXPECT_EQ(fakegl::CallsNamed("glTexImage2D")[0].args[3], 6);
    EXPECT_EQ(fakegl::TextureParameter(texture, GL_TEXTURE_MIN_FILTER), GL_NEAREST);
    EXPECT_EQ(fakegl::TextureParameter(texture, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_EQ(fakegl::TextureParameter(texture, GL_TEXTURE_WRAP_S), GL_REPEAT);
    EXPECT_EQ(fakegl::TextureParameter(texture, GL_TEXTURE_WRAP_T), GL_REPEAT);

    const auto lights = fakegl::CallsNamed("glLightf");
    ASSERT_EQ(lights.size(), 2u);
    EXPECT_EQ(lights[0].args, (Values{GL_LIGHT0, GL_LINEAR_ATTENUATION, 0}));
    EXPECT_EQ(lights[1].args, (Values{GL_LIGHT0, GL_QUADRATIC_ATTENUATION, 0}));
    const auto enables = fakegl::CallsNamed("glEnable");
    ASSERT_GE(enables.size(), 3u);
    EXPECT_EQ(enables[enables.size() - 3].args[0], GL_LIGHTING);
    EXPECT_EQ(enables[enables.size() - 2].args[0], GL_LIGHT0);
    EXPECT_EQ(enables.back().args[0], GL_TEXTURE_2D);
}

TEST_F(Intro, FirstFrameSendsTheValuesOfLoadIntro) {
    intro.offsetX = 0;
    intro.attenuation = -3;  // whatever was there before is replaced
    LoadIntro(intro);
    const cSent sent = Frame(0.0);
    EXPECT_EQ(sent.ambient, (Values{1, 1, 1, 0}));
    EXPECT_EQ(sent.position, (Values{0, 0, 0, 1}));
    EXPECT_EQ(sent.attenuation, 10);
    // The picture: the intro's texture bound, the strip at depth -0.2 - 0.5.
    EXPECT_EQ(Offset(), 0);
    EXPECT_EQ(fakegl::CallsNamed("glTranslatef")[0].args[2], float(-0.2f));
    EXPECT_EQ(fakegl::Count("glVertex3f"), 4u);
    const std::vector<std::string> names = fakegl::Names();
    EXPECT_EQ(names.front(), "glClear");
    EXPECT_EQ(names[1], "glLoadIdentity");
    // Texturing and lighting stay on after the intro.
    const auto enables = fakegl::CallsNamed("glEnable");
    EXPECT_EQ(enables[enables.size() - 2].args[0], GL_TEXTURE_2D);
    EXPECT_EQ(enables.back().args[0], GL_LIGHTING);
    EXPECT_EQ(fakegl::Calls().back().name, "glEnable");
}

TEST_F(Intro, StrobeFlipsOnEveryCallNotWithTime) {
    LoadIntro(intro);
    Frame(4.4);                          // sends white, computes blue
    EXPECT_EQ(Frame(4.5).ambient, (Values{0, 0, 100, 0}));
    EXPECT_EQ(Frame(4.5).ambient, (Values{100, 100, 100, 0}));
    const cSent blue = Frame(4.6);
    EXPECT_EQ(blue.ambient, (Values{0, 0, 100, 0}));
    EXPECT_EQ(blue.position, (Values{0, 0, 0, 0}));  // red 0: a directional light
    // At exactly 7 neither colour nor offset changes.
    Frame(7.0);
    EXPECT_EQ(Frame(7.2).ambient, (Values{100, 100, 100, 0}));
}

TEST_F(Intro, AfterSevenSecondsThePictureSlidesRightWithTheLastFramesOffset) {
    LoadIntro(intro);
    Frame(7.9);
    const cSent sent = Frame(8.0);
    EXPECT_FLOAT_EQ(Offset(), 0.9f);
    EXPECT_EQ(sent.ambient[2], 100);
    EXPECT_FLOAT_EQ(float(sent.ambient[3]), 0.9f);  // the alpha carries the offset
    EXPECT_FLOAT_EQ(intro.offsetX, 1.0f);
    EXPECT_EQ(intro.ambient[0], 0);
}

TEST_F(Intro, AttenuationRunsDownPerFrameUntilFiveSeconds) {
    LoadIntro(intro);
    Frame(1.0);
    EXPECT_FLOAT_EQ(intro.attenuation, 9.9f);
    Frame(2.0);
    EXPECT_FLOAT_EQ(intro.attenuation, 9.7f);
    EXPECT_FLOAT_EQ(float(Frame(4.9).attenuation), 9.7f);
    EXPECT_FLOAT_EQ(intro.attenuation, 9.21f);
    Frame(5.0);
    EXPECT_EQ(intro.attenuation, 0);
    // Many frames turn it negative; it is sent as it is.
    for (int i = 0; i < 40; ++i) Frame(2.0);
    EXPECT_LT(Frame(2.0).attenuation, 0);
}

TEST_F(Intro, NewContextGetsTheTextureAndStateAgainWithoutReadingTheFile) {
    LoadIntro(intro);
    Frame(4.5);  // the animation has moved on
    std::filesystem::remove("Data/vindelbild.bmp");

    fakegl::Reset();  // a fresh context
    ::testing::internal::CaptureStdout();
    RecreateGlObjects();
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
    const unsigned texture = fakegl::BoundTexture();
    EXPECT_NE(texture, 0u);
    ASSERT_EQ(fakegl::Count("glTexImage2D"), 2u);
    EXPECT_EQ(fakegl::CallsNamed("glTexImage2D")[0].args[3], 6);
    EXPECT_EQ(fakegl::CallsNamed("glTexImage2D")[0].args[8], 1);  // with pixels
    EXPECT_EQ(fakegl::TextureParameter(texture, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_EQ(fakegl::CallsNamed("glBlendFunc")[0].args, (Values{GL_SRC_ALPHA, GL_ONE}));
    EXPECT_EQ(fakegl::Count("glLightf"), 2u);
    // The light values are not reset.
    EXPECT_EQ(Frame(4.6).ambient, (Values{0, 0, 100, 0}));
}

TEST_F(Intro, MissingPictureDrawsTheStripWithoutATexture) {
    std::filesystem::remove("Data/vindelbild.bmp");
    ::testing::internal::CaptureStdout();
    LoadIntro(intro);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Error! not a bitmap \n");
    EXPECT_EQ(fakegl::Count("glGenTextures"), 1u);  // only the image's reserved name
    Frame(0.0);
    const auto binds = fakegl::CallsNamed("glBindTexture");
    ASSERT_EQ(binds.size(), 1u);
    EXPECT_EQ(binds[0].args[1], 0);
}
