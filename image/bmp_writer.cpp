// 24-bit BMP writer: BITMAPFILEHEADER + BITMAPINFOHEADER, no palette, no
// compression, rows bottom-up, B, G, R, padded to a multiple of four bytes.
#include "image/bmp_writer.h"

#include <cstdio>

namespace {

constexpr int kHeaderBytes = 14 + 40;

// Appends a little-endian value of `bytes` bytes.
void Put(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(uint8_t(value >> (8 * i)));
}

}  // namespace

// Encodes the picture as the bytes of a 24-bit BMP file.
std::vector<uint8_t> EncodeBmp24(int width, int height, const std::vector<uint8_t>& rgb) {
    std::vector<uint8_t> out;
    if (width <= 0 || height <= 0 || rgb.size() != size_t(width) * height * 3) return out;
    const uint32_t rowBytes = (uint32_t(width) * 3 + 3) & ~3u;
    const uint32_t imageBytes = rowBytes * uint32_t(height);
    out.reserve(kHeaderBytes + imageBytes);
    out.push_back('B');
    out.push_back('M');
    Put(out, kHeaderBytes + imageBytes, 4);  // file size
    Put(out, 0, 4);                          // reserved
    Put(out, kHeaderBytes, 4);               // offset of the pixel array
    Put(out, 40, 4);                         // BITMAPINFOHEADER size
    Put(out, uint32_t(width), 4);
    Put(out, uint32_t(height), 4);           // positive: rows bottom-up
    Put(out, 1, 2);                          // colour planes
    Put(out, 24, 2);                         // bits per pixel
    Put(out, 0, 4);                          // BI_RGB, no compression
    Put(out, imageBytes, 4);
    Put(out, 2835, 4);                       // 72 dpi, both directions
    Put(out, 2835, 4);
    Put(out, 0, 4);                          // no palette
    Put(out, 0, 4);
    for (int y = height - 1; y >= 0; --y) {
        const uint8_t* row = &rgb[size_t(y) * width * 3];
        for (int x = 0; x < width; ++x) {
            out.push_back(row[x * 3 + 2]);
            out.push_back(row[x * 3 + 1]);
            out.push_back(row[x * 3 + 0]);
        }
        for (uint32_t pad = uint32_t(width) * 3; pad < rowBytes; ++pad) out.push_back(0);
    }
    return out;
}

// Writes the picture to a file.
bool WriteBmp24(const std::string& path, int width, int height, const std::vector<uint8_t>& rgbTopDown) {
    const std::vector<uint8_t> bytes = EncodeBmp24(width, height, rgbTopDown);
    if (bytes.empty()) return false;
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}
