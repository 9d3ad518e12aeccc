// The BMP reader: what it reads, what it rejects and with which line, and
// that a rejected file leaves no allocation and no open file behind.
#include "image/bmp_reader.h"

#include "tests/support/allocation_count.h"
#include "tests/support/bmp_test_file.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace bmptest;

namespace {

class BmpReader : public ::testing::Test {
protected:
    void SetUp() override { folder = MakeScratchDirectory(); }
    void TearDown() override { RemoveDirectory(folder); }

    std::string Write(const std::string& bytes, const std::string& name = "test.bmp") {
        const std::string path = folder + "/" + name;
        WriteFile(path, bytes);
        return path;
    }

    // Reads a file that must be rejected; returns what the reader printed,
    // after checking that it freed everything and closed the file.
    std::string Reject(const std::string& path) {
        ::testing::internal::CaptureStdout();
        const long blocks = alloctest::LiveBlocks();
        const int files = alloctest::OpenFiles();
        cRaster* raster = loadBmp(path.c_str());
        const long blocksAfter = alloctest::LiveBlocks();
        const int filesAfter = alloctest::OpenFiles();
        const std::string out = ::testing::internal::GetCapturedStdout();
        EXPECT_EQ(raster, nullptr) << path;
        delete raster;
        EXPECT_EQ(blocksAfter, blocks) << "allocation left behind";
        EXPECT_EQ(filesAfter, files) << "file left open";
        return out;
    }

    // Reads a file that must be accepted, silently.
    std::unique_ptr<cRaster> Accept(const std::string& path) {
        ::testing::internal::CaptureStdout();
        std::unique_ptr<cRaster> raster(loadBmp(path.c_str()));
        EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
        return raster;
    }

    std::string folder;
};

// The raster the reader must produce for a picture drawn by `pixel`.
std::vector<uint8_t> Expected(int width, int height, const cPixelFn& pixel) {
    std::vector<uint8_t> out;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const cRgb c = pixel(x, y);
            out.insert(out.end(), {c.r, c.g, c.b});
        }
    return out;
}

std::vector<uint8_t> Bytes(const cRaster& raster) { return {raster.data, raster.data + raster.byteCount()}; }

}  // namespace

TEST_F(BmpReader, SwapsBlueAndRedIntoRgbOrder) {
    auto raster = Accept(Write(BmpBytes(4, 2, [](int, int) { return cRgb{3, 2, 1}; })));
    ASSERT_TRUE(raster);
    EXPECT_EQ(raster->sizeX, 4);
    EXPECT_EQ(raster->sizeY, 2);
    std::vector<uint8_t> expected;
    for (int i = 0; i < 8; ++i) expected.insert(expected.end(), {3, 2, 1});
    EXPECT_EQ(Bytes(*raster), expected);
}

TEST_F(BmpReader, ReadsOddWidthsWithoutShearingOnRowPadding) {
    for (int width : {1, 2, 3, 5, 4, 7}) {
        auto raster = Accept(Write(BmpBytes(width, 3, Distinct)));
        ASSERT_TRUE(raster) << "width " << width;
        EXPECT_EQ(raster->sizeX, width);
        EXPECT_EQ(raster->sizeY, 3);
        EXPECT_EQ(Bytes(*raster), Expected(width, 3, Distinct)) << "width " << width;
    }
}

TEST_F(BmpReader, SecondRowBeginsWithTheSecondRowsPixels) {
    auto raster = Accept(Write(BmpBytes(2, 2, Distinct)));
    ASSERT_TRUE(raster);
    const cRgb second = Distinct(0, 1);
    EXPECT_EQ(raster->data[6], second.r);
    EXPECT_EQ(raster->data[7], second.g);
    EXPECT_EQ(raster->data[8], second.b);
}

TEST_F(BmpReader, TurnsATopDownFileBottomRowFirst) {
    cBmpOptions topDown;
    topDown.topDown = true;
    auto raster = Accept(Write(BmpBytes(3, 4, Distinct, topDown)));
    ASSERT_TRUE(raster);
    EXPECT_EQ(raster->sizeY, 4);
    EXPECT_EQ(Bytes(*raster), Expected(3, 4, Distinct));
}

TEST_F(BmpReader, HonoursAPixelOffsetBeyondTheHeaders) {
    cBmpOptions far;
    far.pixelOffset = 130;  // the filler between 54 and 130 must not be read as pixels
    auto raster = Accept(Write(BmpBytes(5, 2, Distinct, far)));
    ASSERT_TRUE(raster);
    EXPECT_EQ(Bytes(*raster), Expected(5, 2, Distinct));
}

TEST_F(BmpReader, AcceptsALastRowWithoutItsPadding) {
    cBmpOptions unpadded;
    unpadded.lastRowPadding = false;
    auto raster = Accept(Write(BmpBytes(5, 3, Distinct, unpadded)));
    ASSERT_TRUE(raster);
    EXPECT_EQ(Bytes(*raster), Expected(5, 3, Distinct));
}

TEST_F(BmpReader, RejectsWhatIsNotABitmapWithTheBytesRead) {
    EXPECT_EQ(Reject(Write("BA" + BmpBytes(2, 2, Distinct).substr(2))), "Error! not a bitmap BA\n");
    EXPECT_EQ(Reject(Write("")), "Error! not a bitmap \n");
    EXPECT_EQ(Reject(Write("B")), "Error! not a bitmap B\n");
    EXPECT_EQ(Reject(folder + "/missing.bmp"), "Error! not a bitmap \n");
    EXPECT_EQ(Reject(folder), "Error! not a bitmap \n");  // a folder yields no bytes
}

TEST_F(BmpReader, RejectsAFileEndingInsideTheSizes) {
    const std::string header = BmpHeader(4, 4, 24);
    for (size_t length : {2, 10, 13, 14, 21, 25}) {
        EXPECT_EQ(Reject(Write(header.substr(0, length))), "Error reading file\n") << length << " bytes";
    }
}

TEST_F(BmpReader, RejectsEveryBitCountButTwentyFour) {
    for (int bits : {1, 4, 8, 16, 32, -24}) {
        cBmpOptions options;
        options.bitCount = int16_t(bits);
        EXPECT_EQ(Reject(Write(BmpBytes(4, 4, Distinct, options))), "Bad bpp: " + std::to_string(bits) + "\n");
    }
    // Cut inside the bit count: no bit count at all, even if the byte there is 24.
    EXPECT_EQ(Reject(Write(BmpHeader(4, 4, 24).substr(0, 29))), "Bad bpp: 0\n");
    EXPECT_EQ(Reject(Write(BmpHeader(4, 4, 24).substr(0, 26))), "Bad bpp: 0\n");
}

TEST_F(BmpReader, RejectsATruncatedPixelArray) {
    const std::string whole = BmpBytes(5, 4, Distinct);
    EXPECT_EQ(Reject(Write(whole.substr(0, whole.size() - 20))), "fel i filen\n");
    EXPECT_EQ(Reject(Write(whole.substr(0, 54))), "fel i filen\n");
    EXPECT_EQ(Reject(Write(whole.substr(0, 40))), "fel i filen\n");  // offset beyond the end
}

TEST_F(BmpReader, RejectsSizesThatCannotBeAPicture) {
    const std::string pixels(64, '\x11');
    EXPECT_EQ(Reject(Write(BmpHeader(0, 4, 24) + pixels)), "fel i filen\n");
    EXPECT_EQ(Reject(Write(BmpHeader(-4, 4, 24) + pixels)), "fel i filen\n");
    EXPECT_EQ(Reject(Write(BmpHeader(4, 0, 24) + pixels)), "fel i filen\n");
    EXPECT_EQ(Reject(Write(BmpHeader(4, 4, 24, -10) + pixels)), "fel i filen\n");
    EXPECT_EQ(Reject(Write(BmpHeader(4, INT32_MIN, 24) + pixels)), "fel i filen\n");
    EXPECT_EQ(Reject(Write(BmpHeader(INT32_MAX, INT32_MAX, 24) + pixels)), "fel i filen\n");
}

TEST_F(BmpReader, RejectsAHugeClaimBeforeAllocatingForIt) {
    const std::string path = Write(BmpHeader(60000, 60000, 24).substr(0, 30) + std::string(30, '\0'));
    alloctest::ResetLargest();
    EXPECT_EQ(Reject(path), "fel i filen\n");
    EXPECT_LT(alloctest::LargestRequest(), size_t(1) << 20);
}
