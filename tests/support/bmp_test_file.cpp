// BMP files made by the tests.
#include "tests/support/bmp_test_file.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace bmptest {

namespace {

void PutLe(std::string& out, size_t at, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out[at + i] = char((value >> (8 * i)) & 0xFF);
}

}  // namespace

cRgb Distinct(int x, int y) { return {uint8_t(10 + x * 20 + y), uint8_t(100 + y * 30), uint8_t(200 - x * 7 - y * 3)}; }

std::string BmpHeader(int32_t width, int32_t height, int16_t bitCount, int32_t pixelOffset) {
    std::string out(54, '\0');
    out[0] = 'B';
    out[1] = 'M';
    PutLe(out, 10, uint32_t(pixelOffset), 4);
    PutLe(out, 14, 40, 4);  // information-header size
    PutLe(out, 18, uint32_t(width), 4);
    PutLe(out, 22, uint32_t(height), 4);
    PutLe(out, 26, 1, 2);  // planes
    PutLe(out, 28, uint16_t(bitCount), 2);
    return out;
}

std::string BmpBytes(int width, int height, const cPixelFn& pixel, const cBmpOptions& options) {
    std::string out = BmpHeader(width, options.topDown ? -height : height, options.bitCount, options.pixelOffset);
    if (options.pixelOffset > 54) out.append(size_t(options.pixelOffset - 54), '\x5A');
    out.resize(size_t(options.pixelOffset), '\0');
    const int rowBytes = width * 3;
    const int stride = (rowBytes + 3) & ~3;
    for (int i = 0; i < height; ++i) {
        const int y = options.topDown ? height - 1 - i : i;
        for (int x = 0; x < width; ++x) {
            const cRgb c = pixel(x, y);
            out += char(c.b);
            out += char(c.g);
            out += char(c.r);
        }
        if (i + 1 < height || options.lastRowPadding) out.append(size_t(stride - rowBytes), char(options.paddingByte));
    }
    PutLe(out, 2, uint32_t(out.size()), 4);
    return out;
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), std::streamsize(bytes.size()));
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

}  // namespace bmptest
