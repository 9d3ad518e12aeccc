// Peer check: for 24-bit BMPs written by ImageMagick, our raster equals
// ImageMagick's own decode of the same file, pixel for pixel. ImageMagick is
// Debian's `imagemagick`, called as /usr/bin/convert (another `convert` may
// come first in PATH).
#include "image/bmp_reader.h"

#include "tests/support/bmp_test_file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <sys/stat.h>

using namespace bmptest;

namespace {

const char* const kConvert = "/usr/bin/convert";

bool RunCommand(const std::string& command) { return std::system((command + " 2>&1").c_str()) == 0; }

// A PPM picture with a different colour in every pixel and channel.
std::string Ppm(int width, int height) {
    std::string out = "P6\n" + std::to_string(width) + " " + std::to_string(height) + "\n255\n";
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c) out += char((x * 53 + y * 17 + c * 91 + x * y) & 0xFF);
    return out;
}

}  // namespace

TEST(BmpPeer, OurRasterEqualsImageMagicksDecode) {
    struct stat info;
    ASSERT_EQ(stat(kConvert, &info), 0) << "ImageMagick is missing: apt-get install imagemagick";
    const std::string folder = MakeScratchDirectory();
    const int sizes[][2] = {{1, 3}, {2, 2}, {3, 5}, {5, 4}, {6, 1}, {8, 3}, {13, 7}, {33, 9}};
    for (const auto& size : sizes) {
        const int width = size[0], height = size[1];
        SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
        const std::string ppm = folder + "/in.ppm", bmp = folder + "/im.bmp", rgb = folder + "/im.rgb";
        WriteFile(ppm, Ppm(width, height));
        ASSERT_TRUE(RunCommand(std::string(kConvert) + " '" + ppm + "' -type TrueColor 'BMP3:" + bmp + "'"));
        const std::string file = ReadFile(bmp);
        ASSERT_GT(file.size(), 30u);
        ASSERT_EQ(uint8_t(file[28]), 24) << "ImageMagick did not write 24 bits per pixel";
        ASSERT_TRUE(RunCommand(std::string(kConvert) + " '" + bmp + "' -depth 8 'rgb:" + rgb + "'"));
        const std::string theirs = ReadFile(rgb);  // rows top-down
        ASSERT_EQ(theirs.size(), size_t(width) * height * 3);

        std::unique_ptr<cRaster> ours(loadBmp(bmp.c_str()));
        ASSERT_TRUE(ours);
        ASSERT_EQ(ours->sizeX, width);
        ASSERT_EQ(ours->sizeY, height);
        int differing = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                for (int c = 0; c < 3; ++c) {
                    const uint8_t mine = ours->data[(size_t(y) * width + x) * 3 + c];
                    const uint8_t peer = uint8_t(theirs[(size_t(height - 1 - y) * width + x) * 3 + c]);
                    differing += mine != peer;
                }
        EXPECT_EQ(differing, 0);
    }
    RemoveDirectory(folder);
}
