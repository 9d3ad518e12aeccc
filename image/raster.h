// cRaster and Pixel: the in-memory picture the BMP reader fills.
//
// A raster is a width, a height and tightly packed R, G, B bytes, row 0 at
// the bottom of the picture (the row order OpenGL takes texture images in).
// It owns its bytes; copies of a picture are made only through cImage.
#pragma once

#include <cstddef>
#include <cstdint>

// A decoded RGB picture: pixel (x, y) at byte (y * sizeX + x) * 3 as R, G, B.
struct cRaster {
    int32_t sizeX = 0;
    int32_t sizeY = 0;
    uint8_t* data = nullptr;  // sizeX * sizeY * 3 bytes from array new, or null

    cRaster() = default;
    ~cRaster() { delete[] data; }
    cRaster(const cRaster&) = delete;
    cRaster& operator=(const cRaster&) = delete;

    // Number of bytes in data (0 for a raster without pixels).
    size_t byteCount() const {
        if (!data || sizeX <= 0 || sizeY <= 0) return 0;
        return size_t(sizeX) * size_t(sizeY) * 3;
    }
};

// One pixel's colour; black by default.
struct Pixel {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;

    Pixel() = default;
    Pixel(uint8_t red, uint8_t green, uint8_t blue) : r(red), g(green), b(blue) {}
};
