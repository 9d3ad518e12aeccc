// Textures with the fake GL: made once and only from pixels, the state a
// create + makeTexture leaves, tightly packed uploads, pairs, and making the
// textures again in a new context from the images in memory.
#include "image/texture.h"
#include "image/texture_pair.h"

#include "tests/support/bmp_test_file.h"
#include "tests/support/fake_gl.h"

#include <gtest/gtest.h>

#include <GL/gl.h>

#include <string>

using namespace bmptest;

namespace {

class Texture : public ::testing::Test {
protected:
    void SetUp() override {
        fakegl::Reset();
        folder = MakeScratchDirectory();
        WriteFile(Path("a.bmp"), BmpBytes(5, 3, Distinct));
        WriteFile(Path("b.bmp"), BmpBytes(4, 4, Distinct));
    }
    void TearDown() override { RemoveDirectory(folder); }
    std::string Path(const std::string& name) const { return folder + "/" + name; }

    std::string folder;
};

// Every glTexImage2D must come after GL_UNPACK_ALIGNMENT 1, with no other
// alignment set in between.
void ExpectTightUploads() {
    bool tight = false;
    int uploads = 0;
    for (const fakegl::cCall& call : fakegl::Calls()) {
        if (call.name == "glPixelStorei" && call.args[0] == GL_UNPACK_ALIGNMENT) tight = call.args[1] == 1;
        if (call.name == "glTexImage2D") {
            ++uploads;
            EXPECT_TRUE(tight) << "upload " << uploads << " with the default row alignment\n" << fakegl::Trace();
        }
    }
    EXPECT_GT(uploads, 0);
}

}  // namespace

TEST_F(Texture, CreateNeedsPixelsAndMakesNoGlCallWithout) {
    cTexture texture;
    EXPECT_EQ(texture.create(), 0u);
    cImage image;
    texture.setImage(&image);
    EXPECT_EQ(texture.create(), 0u);
    EXPECT_TRUE(fakegl::Calls().empty()) << fakegl::Trace();
    EXPECT_FALSE(texture.isCreated());

    ::testing::internal::CaptureStdout();
    ASSERT_TRUE(image.load(Path("a.bmp").c_str()));
    ::testing::internal::GetCapturedStdout();
    const unsigned name = texture.create();
    EXPECT_NE(name, 0u);
    EXPECT_TRUE(texture.isCreated());
    EXPECT_EQ(texture.getName(), name);
    const auto upload = fakegl::CallsNamed("glTexImage2D");
    ASSERT_EQ(upload.size(), 1u);
    EXPECT_EQ(upload[0].args,
              (std::vector<double>{GL_TEXTURE_2D, 0, GL_RGB, 5, 3, 0, GL_RGB, GL_UNSIGNED_BYTE, 1}));
    EXPECT_EQ(fakegl::BoundTexture(), name);
    EXPECT_EQ(fakegl::TextureParameter(name, GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    EXPECT_EQ(fakegl::TextureParameter(name, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_EQ(fakegl::Names().back(), "glDisable");
    ExpectTightUploads();
}

TEST_F(Texture, SecondCreateReturnsTheSameNameWithoutGl) {
    cImage image(2, 2);
    cTexture texture;
    texture.setImage(&image);
    const unsigned name = texture.create();
    fakegl::ClearCalls();
    EXPECT_EQ(texture.create(), name);
    EXPECT_TRUE(fakegl::Calls().empty()) << fakegl::Trace();
}

TEST_F(Texture, CreateThenMakeTextureLeavesNearestRepeatOnTheBoundTexture) {
    cImage image(3, 3);  // 9 bytes a row: not a multiple of four
    cTexture texture;
    texture.setImage(&image);
    const unsigned name = texture.create();
    image.makeTexture();
    EXPECT_EQ(fakegl::BoundTexture(), name);
    EXPECT_EQ(fakegl::TextureParameter(name, GL_TEXTURE_MIN_FILTER), GL_NEAREST);
    EXPECT_EQ(fakegl::TextureParameter(name, GL_TEXTURE_MAG_FILTER), GL_NEAREST);
    EXPECT_EQ(fakegl::TextureParameter(name, GL_TEXTURE_WRAP_S), GL_REPEAT);
    EXPECT_EQ(fakegl::TextureParameter(name, GL_TEXTURE_WRAP_T), GL_REPEAT);
    EXPECT_NE(image.getTexture(), 0u);
    EXPECT_NE(image.getTexture(), name);
    EXPECT_EQ(fakegl::Count("glTexImage2D"), 2u);
    ExpectTightUploads();
}

TEST_F(Texture, MakeTextureReservesANewNameEachTimeAndDeletesOnlyRealTextures) {
    cImage image;
    image.makeTexture();  // no raster: an empty upload
    const unsigned first = image.getTexture();
    EXPECT_EQ(fakegl::CallsNamed("glTexImage2D")[0].args[3], 0);
    image.makeTexture();
    EXPECT_NE(image.getTexture(), first);
    EXPECT_EQ(fakegl::Count("glDeleteTextures"), 0u);  // never bound, so not a texture

    image.bind();
    EXPECT_EQ(fakegl::BoundTexture(), image.getTexture());
    EXPECT_EQ(fakegl::Count("glEnable"), 0u);  // the image's bind does not enable texturing
    const unsigned bound = image.getTexture();
    image.makeTexture();
    const auto deleted = fakegl::CallsNamed("glDeleteTextures");
    ASSERT_EQ(deleted.size(), 1u);
    EXPECT_EQ(deleted[0].args, (std::vector<double>{1, double(bound)}));
}

TEST_F(Texture, BindEnablesTexturingFirst) {
    cTexture never;
    never.bind();
    EXPECT_EQ(fakegl::Names(), (std::vector<std::string>{"glEnable", "glBindTexture"}));
    EXPECT_EQ(fakegl::Calls()[0].args[0], GL_TEXTURE_2D);
    EXPECT_EQ(fakegl::BoundTexture(), 0u);
}

TEST_F(Texture, ReleaseDeletesOnlyWhatItMade) {
    cImage image(1, 1);
    cTexture texture;
    texture.release();
    EXPECT_EQ(fakegl::Count("glDeleteTextures"), 0u);
    texture.setImage(&image);
    const unsigned name = texture.create();
    texture.release();
    EXPECT_EQ(fakegl::CallsNamed("glDeleteTextures")[0].args, (std::vector<double>{1, double(name)}));
    EXPECT_FALSE(texture.isCreated());
    EXPECT_EQ(texture.getName(), 0u);
}

TEST_F(Texture, PairWithAMissingSecondFileStillLoads) {
    cTexturePair pair;
    ::testing::internal::CaptureStdout();
    EXPECT_TRUE(pair.load(Path("a.bmp").c_str(), Path("none.bmp").c_str()));
    EXPECT_EQ(::testing::internal::GetCapturedStdout(),
              "loading " + Path("a.bmp") + " ok\nError! not a bitmap \n");
    EXPECT_TRUE(pair.firstTexture.isCreated());
    EXPECT_EQ(pair.firstTexture.getImage(), &pair.firstImage);
    EXPECT_FALSE(pair.secondTexture.isCreated());
    EXPECT_EQ(pair.secondTexture.getName(), 0u);
}

TEST_F(Texture, PairFailsOnlyOnTheFirstFileAndThenDoesNothingElse) {
    cTexturePair pair;
    ::testing::internal::CaptureStdout();
    EXPECT_FALSE(pair.load(Path("none.bmp").c_str(), Path("b.bmp").c_str()));
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Error! not a bitmap \n");
    EXPECT_TRUE(fakegl::Calls().empty()) << fakegl::Trace();
    EXPECT_EQ(pair.secondImage.getRaster(), nullptr);
}

TEST_F(Texture, PairLoadsBothInOrderAndEachTextureShowsItsImage) {
    cTexturePair pair;
    ::testing::internal::CaptureStdout();
    EXPECT_TRUE(pair.load(Path("a.bmp").c_str(), Path("b.bmp").c_str()));
    EXPECT_EQ(::testing::internal::GetCapturedStdout(),
              "loading " + Path("a.bmp") + " ok\nloading " + Path("b.bmp") + " ok\n");
    EXPECT_EQ(pair.secondTexture.getImage(), &pair.secondImage);
    EXPECT_NE(pair.firstTexture.getName(), pair.secondTexture.getName());
    const auto uploads = fakegl::CallsNamed("glTexImage2D");
    ASSERT_EQ(uploads.size(), 4u);  // each image twice: by create and by makeTexture
    EXPECT_EQ(uploads[0].args[3], 5);
    EXPECT_EQ(uploads[3].args[3], 4);

    // Destroying the pair destroys the second image, then the first.
    ::testing::internal::CaptureStdout();
    {
        cTexturePair single;
        single.load(Path("b.bmp").c_str());
    }
    EXPECT_EQ(::testing::internal::GetCapturedStdout(),
              "loading " + Path("b.bmp") + " ok\nnu d\xF6r jag\nnu d\xF6r jag\n");
}

TEST_F(Texture, PairRecreatesItsTexturesInANewContextWithoutReadingFiles) {
    cTexturePair pair;
    ::testing::internal::CaptureStdout();
    pair.load(Path("a.bmp").c_str(), Path("none.bmp").c_str());
    ::testing::internal::GetCapturedStdout();
    RemoveDirectory(folder);  // nothing may be read again

    fakegl::Reset();  // a fresh context: no texture exists
    ::testing::internal::CaptureStdout();
    pair.recreate();
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
    EXPECT_TRUE(pair.firstTexture.isCreated());
    const unsigned name = pair.firstTexture.getName();
    EXPECT_EQ(fakegl::BoundTexture(), name);
    EXPECT_EQ(fakegl::TextureParameter(name, GL_TEXTURE_MIN_FILTER), GL_NEAREST);
    EXPECT_EQ(fakegl::Count("glTexImage2D"), 2u);
    EXPECT_EQ(fakegl::CallsNamed("glTexImage2D")[0].args[3], 5);
    // The old image name meant nothing here, so nothing was deleted.
    EXPECT_EQ(fakegl::Count("glDeleteTextures"), 0u);
    EXPECT_FALSE(pair.secondTexture.isCreated());
    ExpectTightUploads();
}
