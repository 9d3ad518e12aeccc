// The beat picture overlay with the fake GL: the pair the beat count picks,
// the blend sequence of one pair, loading and making the textures again.
#include "effects/mask_overlay.h"

#include "base/beat.h"
#include "base/gl_recreation.h"
#include "tests/support/bmp_test_file.h"
#include "tests/support/fake_gl.h"

#include <gtest/gtest.h>

#include <GL/gl.h>

#include <filesystem>
#include <string>
#include <vector>

using namespace bmptest;
using Values = std::vector<double>;

namespace {

// Each test runs in a scratch folder with the four pictures in Data/, each a
// different width so uploads tell them apart.
class MaskOverlay : public ::testing::Test {
protected:
    void SetUp() override {
        fakegl::Reset();
        ClearGlRecreations();
        gBeatCount = 0;
        folder = MakeScratchDirectory();
        std::filesystem::create_directory(folder + "/Data");
        int width = 1;
        for (const char* name : {"mekk1", "mekkmap1", "mekk2", "mekkmap2"})
            WriteFile(folder + "/Data/" + name + ".bmp", BmpBytes(width++, 2, Distinct));
        previous = std::filesystem::current_path();
        std::filesystem::current_path(folder);
    }
    void TearDown() override {
        std::filesystem::current_path(previous);
        RemoveDirectory(folder);
        ClearGlRecreations();
        gBeatCount = 0;
    }

    // Loads silently into `overlay`.
    void Load() {
        ::testing::internal::CaptureStdout();
        overlay.LoadPairs();
        ::testing::internal::GetCapturedStdout();
    }
    // The texture names one draw binds, in order.
    std::vector<unsigned> BoundByDraw() {
        fakegl::ClearCalls();
        overlay.draw();
        std::vector<unsigned> names;
        for (const fakegl::cCall& call : fakegl::CallsNamed("glBindTexture")) names.push_back(unsigned(call.args[1]));
        return names;
    }

    cMaskOverlay overlay;
    std::string folder;
    std::filesystem::path previous;
};

}  // namespace

TEST_F(MaskOverlay, LoadsPictureThenMaskForEachPair) {
    ::testing::internal::CaptureStdout();
    overlay.LoadPairs();
    EXPECT_EQ(::testing::internal::GetCapturedStdout(),
              "loading Data/mekk1.bmp ok\nloading Data/mekkmap1.bmp ok\n"
              "loading Data/mekk2.bmp ok\nloading Data/mekkmap2.bmp ok\n");
    EXPECT_EQ(overlay.pair1.firstImage.getSizeX(), 1);
    EXPECT_EQ(overlay.pair1.secondImage.getSizeX(), 2);
    EXPECT_EQ(overlay.pair2.firstImage.getSizeX(), 3);
    EXPECT_EQ(overlay.pair2.secondImage.getSizeX(), 4);
}

TEST_F(MaskOverlay, BeatCountParityPicksThePair) {
    Load();
    const std::vector<unsigned> pair1{overlay.pair1.secondTexture.getName(), overlay.pair1.firstTexture.getName()};
    const std::vector<unsigned> pair2{overlay.pair2.secondTexture.getName(), overlay.pair2.firstTexture.getName()};
    EXPECT_EQ(BoundByDraw(), pair2);  // 0, before any beat
    gBeatCount = 1;
    EXPECT_EQ(BoundByDraw(), pair1);
    gBeatCount = 2;
    EXPECT_EQ(BoundByDraw(), pair2);
    gBeatCount = 7;
    EXPECT_EQ(BoundByDraw(), pair1);
}

TEST_F(MaskOverlay, MultipliesByTheMaskThenAddsThePicture) {
    Load();
    const unsigned mask = overlay.pair2.secondTexture.getName();
    const unsigned picture = overlay.pair2.firstTexture.getName();
    fakegl::ClearCalls();
    overlay.draw();
    const float w = 0.7f, h = 0.5f;
    const std::vector<fakegl::cCall> quad = {
        {"glBegin", {GL_QUADS}},
        {"glTexCoord2f", {0, 0.99f}}, {"glVertex3f", {-w, h, -0.75f}},
        {"glTexCoord2f", {1, 0.99f}}, {"glVertex3f", {w, h, -0.75f}},
        {"glTexCoord2f", {1, 0}}, {"glVertex3f", {w, -h, -0.75f}},
        {"glTexCoord2f", {0, 0}}, {"glVertex3f", {-w, -h, -0.75f}},
        {"glEnd", {}}};
    std::vector<fakegl::cCall> expected = {
        {"glPushMatrix", {}}, {"glLoadIdentity", {}},
        {"glDisable", {GL_DEPTH_TEST}}, {"glDisable", {GL_FOG}},
        {"glTexParameteri", {GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR}},
        {"glEnable", {GL_TEXTURE_2D}},
        {"glEnable", {GL_TEXTURE_2D}}, {"glBindTexture", {GL_TEXTURE_2D, double(mask)}},
        {"glColor4f", {1, 1, 1, 1}},
        {"glEnable", {GL_BLEND}}, {"glBlendFunc", {GL_DST_COLOR, GL_ZERO}},
        {"glTranslatef", {0, 0, 0}}};
    expected.insert(expected.end(), quad.begin(), quad.end());
    expected.push_back({"glEnable", {GL_TEXTURE_2D}});
    expected.push_back({"glBindTexture", {GL_TEXTURE_2D, double(picture)}});
    expected.push_back({"glBlendFunc", {GL_ONE, GL_ONE}});
    expected.insert(expected.end(), quad.begin(), quad.end());
    expected.push_back({"glDisable", {GL_TEXTURE_2D}});
    expected.push_back({"glPopMatrix", {}});

    const std::vector<fakegl::cCall>& calls = fakegl::Calls();
    ASSERT_EQ(calls.size(), expected.size()) << fakegl::Trace();
    for (size_t i = 0; i < calls.size(); ++i) {
        EXPECT_EQ(calls[i].name, expected[i].name) << "call " << i;
        EXPECT_EQ(calls[i].args, expected[i].args) << "call " << i << " " << calls[i].name;
    }
}

TEST_F(MaskOverlay, MissingFilesLeaveTexturesThatBindNameZero) {
    std::filesystem::remove("Data/mekkmap1.bmp");
    std::filesystem::remove("Data/mekk2.bmp");
    ::testing::internal::CaptureStdout();
    overlay.LoadPairs();
    EXPECT_EQ(::testing::internal::GetCapturedStdout(),
              "loading Data/mekk1.bmp ok\nError! not a bitmap \nError! not a bitmap \n");
    EXPECT_EQ(BoundByDraw(), (std::vector<unsigned>{0, 0}));
    gBeatCount = 1;
    EXPECT_EQ(BoundByDraw(), (std::vector<unsigned>{0, overlay.pair1.firstTexture.getName()}));
}

TEST_F(MaskOverlay, NewContextGetsAllFourTexturesAgainFromMemory) {
    Load();
    std::filesystem::remove_all("Data");
    fakegl::Reset();
    ::testing::internal::CaptureStdout();
    RecreateGlObjects();
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
    const auto uploads = fakegl::CallsNamed("glTexImage2D");
    ASSERT_EQ(uploads.size(), 8u);
    for (size_t i = 0; i < 4; ++i) EXPECT_EQ(uploads[2 * i].args[3], double(i + 1));
    for (cTexture* texture : {&overlay.pair1.firstTexture, &overlay.pair1.secondTexture,
                              &overlay.pair2.firstTexture, &overlay.pair2.secondTexture}) {
        EXPECT_TRUE(texture->isCreated());
        EXPECT_EQ(fakegl::TextureParameter(texture->getName(), GL_TEXTURE_WRAP_S), GL_REPEAT);
    }
}
