// The BMP writer produces files the format (and our reader) takes: header
// fields, bottom-up rows, B, G, R order and padding to four bytes.
#include "image/bmp_reader.h"
#include "image/bmp_writer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

namespace {

uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24;
}

// Pixel (x, y), top-down, with a colour that tells every pixel apart.
std::vector<uint8_t> Picture(int w, int h) {
    std::vector<uint8_t> rgb;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) rgb.insert(rgb.end(), {uint8_t(10 * x + 1), uint8_t(20 * y + 2), uint8_t(x + y + 3)});
    return rgb;
}

}  // namespace

TEST(BmpWriter, HeaderDescribesA24BitBottomUpFile) {
    const std::vector<uint8_t> bytes = EncodeBmp24(3, 2, Picture(3, 2));
    ASSERT_EQ(bytes.size(), 54u + 2 * 12);  // 3 pixels = 9 bytes, padded to 12
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[1], 'M');
    EXPECT_EQ(Le32(bytes, 2), bytes.size());
    EXPECT_EQ(Le32(bytes, 10), 54u);
    EXPECT_EQ(Le32(bytes, 14), 40u);
    EXPECT_EQ(Le32(bytes, 18), 3u);
    EXPECT_EQ(Le32(bytes, 22), 2u);
    EXPECT_EQ(bytes[28], 24);
    EXPECT_EQ(Le32(bytes, 30), 0u);
}

TEST(BmpWriter, StoresBottomRowFirstInBgrOrderWithZeroPadding) {
    const std::vector<uint8_t> bytes = EncodeBmp24(3, 2, Picture(3, 2));
    // First stored row is the picture's bottom row (y = 1 top-down).
    EXPECT_EQ(bytes[54 + 0], 0 + 1 + 3);  // blue of (0, 1)
    EXPECT_EQ(bytes[54 + 1], 22);         // green
    EXPECT_EQ(bytes[54 + 2], 1);          // red
    EXPECT_EQ(bytes[54 + 9], 0);
    EXPECT_EQ(bytes[54 + 10], 0);
    EXPECT_EQ(bytes[54 + 11], 0);
    EXPECT_EQ(bytes[54 + 12 + 2], 1);     // red of (0, 0), second stored row
    EXPECT_EQ(bytes[54 + 12 + 1], 2);
}

TEST(BmpWriter, RejectsSizesThatDoNotMatchThePixels) {
    EXPECT_TRUE(EncodeBmp24(2, 2, Picture(3, 2)).empty());
    EXPECT_TRUE(EncodeBmp24(0, 2, {}).empty());
    EXPECT_FALSE(WriteBmp24("/nonexistent-folder/x.bmp", 3, 2, Picture(3, 2)));
}

TEST(BmpWriter, ReadsBackThroughTheDemosReader) {
    const std::string path = ::testing::TempDir() + "bmp_writer_roundtrip.bmp";
    const std::vector<uint8_t> rgb = Picture(4, 3);
    ASSERT_TRUE(WriteBmp24(path, 4, 3, rgb));
    ::testing::internal::CaptureStdout();
    std::unique_ptr<cRaster> raster(loadBmp(path.c_str()));
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
    std::remove(path.c_str());
    ASSERT_TRUE(raster);
    ASSERT_EQ(raster->sizeX, 4);
    ASSERT_EQ(raster->sizeY, 3);
    // The raster is bottom-up: its row 0 is our top-down row 2.
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            for (int c = 0; c < 3; ++c)
                ASSERT_EQ(raster->data[(y * 4 + x) * 3 + c], rgb[((2 - y) * 4 + x) * 3 + c]) << x << "," << y;
}
