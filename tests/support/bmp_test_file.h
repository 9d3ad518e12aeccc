// BMP files made by the tests: byte strings in the layout the reader takes,
// with knobs for the faults the reader must survive, and a scratch folder.
#pragma once

#include "tests/support/scratch_directory.h"

#include <cstdint>
#include <functional>
#include <string>

namespace bmptest {

struct cRgb {
    uint8_t r, g, b;
};

struct cBmpOptions {
    int16_t bitCount = 24;
    int32_t pixelOffset = 54;     // bytes between the offset and 54 are filled with 0x5A
    bool topDown = false;         // store the height negated, rows top first
    bool lastRowPadding = true;   // pad the last row like the others
    uint8_t paddingByte = 0xEE;   // what the padding holds (shows up if read as pixels)
};

// Colour of pixel (x, y), y counted from the bottom row.
using cPixelFn = std::function<cRgb(int x, int y)>;

// A distinct colour for every pixel of small pictures.
cRgb Distinct(int x, int y);

// The bytes of a BMP file of the given size, pixels from `pixel`.
std::string BmpBytes(int width, int height, const cPixelFn& pixel, const cBmpOptions& options = {});
// Only the 30 header bytes the reader looks at, with any width and height.
std::string BmpHeader(int32_t width, int32_t height, int16_t bitCount, int32_t pixelOffset = 54);

void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);

}  // namespace bmptest
