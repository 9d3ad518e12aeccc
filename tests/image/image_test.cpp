// cImage: deep copies with their exact log lines, independence of copies,
// loading, pixel access at the edges, and destruction with and without a GL
// context.
#include "image/image.h"

#include "tests/support/allocation_count.h"
#include "tests/support/bmp_test_file.h"
#include "tests/support/fake_gl.h"

#include <gtest/gtest.h>

#include <GL/gl.h>

#include <memory>
#include <string>

using namespace bmptest;

namespace {

// The copy constructor's lines for a source with a raster; the ö and å are
// single ISO 8859-1 bytes.
const std::string kCopyLines =
    "goddagens\n"
    "rhs har iaf ett raster\n"
    "mitt raster heter: 0\n"
    "finns inget raster, g\xF6r ett\n"
    "det skall tydligen ha g\xE5tt ganska bra\n"
    "tilldelening av sizeX \xE5 size Y\n"
    "kopiera rasterdata\n";
const std::string kDeathLine = "nu d\xF6r jag\n";

// A 2 x 1 image with pixels (1, 2, 3) and (4, 5, 6).
std::unique_ptr<cImage> TwoPixels() {
    auto image = std::make_unique<cImage>(2, 1);
    image->setPixel(0, 0, Pixel(1, 2, 3));
    image->setPixel(1, 0, Pixel(4, 5, 6));
    return image;
}

}  // namespace

TEST(Image, CopyWithoutRasterSaysOnlyGoddagensAndKeepsTheTextureName) {
    fakegl::Reset();
    cImage source;
    source.makeTexture();
    ::testing::internal::CaptureStdout();
    {
        cImage copy(source);
        EXPECT_EQ(copy.getRaster(), nullptr);
        EXPECT_EQ(copy.getTexture(), source.getTexture());
        EXPECT_NE(copy.getTexture(), 0u);
    }
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "goddagens\n" + kDeathLine);
}

TEST(Image, CopyWithRasterLogsEachStepAndOwnsItsPixels) {
    fakegl::Reset();
    auto source = TwoPixels();
    ::testing::internal::CaptureStdout();
    auto copy = std::make_unique<cImage>(*source);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), kCopyLines);
    ASSERT_NE(copy->getRaster(), nullptr);
    EXPECT_NE(copy->getRaster(), source->getRaster());
    EXPECT_NE(copy->getData(), source->getData());
    EXPECT_EQ(copy->getSizeX(), 2);
    EXPECT_EQ(copy->getSizeY(), 1);

    copy->setPixel(0, 0, Pixel(9, 9, 9));
    EXPECT_EQ(source->getPixel(0, 0).r, 1);
    ::testing::internal::CaptureStdout();
    source.reset();
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), kDeathLine);
    EXPECT_EQ(copy->getPixel(1, 0).b, 6);
    EXPECT_EQ(copy->getPixel(0, 0).g, 9);
}

TEST(Image, AssignmentCopiesDeeplyAndSilentlyAndFreesTheOldRaster) {
    fakegl::Reset();
    auto source = TwoPixels();
    cImage target(5, 5);
    const long before = alloctest::LiveBlocks();
    ::testing::internal::CaptureStdout();
    target = *source;
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(alloctest::LiveBlocks(), before);  // 5 x 5 raster gone, 2 x 1 made
    EXPECT_EQ(target.getSizeX(), 2);
    EXPECT_NE(target.getData(), source->getData());
    EXPECT_EQ(target.getPixel(1, 0).g, 5);
    target = cImage();
    EXPECT_EQ(target.getRaster(), nullptr);
}

TEST(Image, PixelAccessOutsideTheRasterIsIgnored) {
    auto image = TwoPixels();
    image->setPixel(2, 0, Pixel(7, 7, 7));
    image->setPixel(0, 1, Pixel(7, 7, 7));
    image->setPixel(0xFFFFFFFFu, 0, Pixel(7, 7, 7));
    const Pixel outside = image->getPixel(2, 0);
    EXPECT_EQ(outside.r + outside.g + outside.b, 0);
    EXPECT_EQ(image->getPixel(1, 0).r, 4);
    cImage empty;
    empty.setPixel(0, 0, Pixel(1, 1, 1));
    EXPECT_EQ(empty.getPixel(0, 0).r, 0);
    EXPECT_EQ(empty.getSizeX(), 0);
    EXPECT_EQ(empty.getData(), nullptr);
    EXPECT_FALSE(empty.create(-1, 4));
}

TEST(Image, FailedLoadLeavesNoRasterAndTheTextureNameAlone) {
    const std::string folder = MakeScratchDirectory();
    WriteFile(folder + "/good.bmp", BmpBytes(3, 2, Distinct));
    cImage image;
    ::testing::internal::CaptureStdout();
    EXPECT_TRUE(image.load((folder + "/good.bmp").c_str()));
    EXPECT_EQ(image.getSizeX(), 3);
    EXPECT_EQ(image.getPixel(2, 1).g, Distinct(2, 1).g);
    image.makeTexture();
    const unsigned name = image.getTexture();
    EXPECT_FALSE(image.load((folder + "/missing.bmp").c_str()));
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Error! not a bitmap \n");
    EXPECT_EQ(image.getRaster(), nullptr);
    EXPECT_EQ(image.getTexture(), name);
    RemoveDirectory(folder);
}

TEST(Image, DestructionDeletesATextureOnlyWhileAContextIsCurrent) {
    fakegl::Reset();
    {
        cImage image;
        image.makeTexture();
        glBindTexture(GL_TEXTURE_2D, image.getTexture());  // now GL knows it as a texture
        fakegl::ClearCalls();
        ::testing::internal::CaptureStdout();
    }
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), kDeathLine);
    EXPECT_EQ(fakegl::Count("glDeleteTextures"), 1u);

    // At process exit the window and its context are gone: no GL call at all.
    fakegl::Reset();
    {
        cImage image(2, 2);
        image.makeTexture();
        glBindTexture(GL_TEXTURE_2D, image.getTexture());
        fakegl::SetContextCurrent(false);
        fakegl::ClearCalls();
        ::testing::internal::CaptureStdout();
    }
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), kDeathLine);
    EXPECT_TRUE(fakegl::Calls().empty()) << fakegl::Trace();
    fakegl::Reset();
}
