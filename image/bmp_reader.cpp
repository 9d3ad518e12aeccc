// loadBmp: uncompressed 24-bit BMP files into rasters.
//
// File layout used (little-endian): "BM" at 0, the pixel offset at 10, the
// width at 18, the height at 22 and the bit count at 28; everything else of
// the headers is skipped. Pixels are B, G, R triples, rows from the bottom
// up (top down when the height is negative), each row padded to a multiple
// of four bytes.
#include "image/bmp_reader.h"

#include <cstdint>
#include <cstdio>
#include <iostream>
#include <limits>
#include <memory>
#include <new>
#include <sys/stat.h>
#include <utility>

namespace {

// Bytes 0..29 of the file hold every header field the reader needs.
constexpr size_t kHeaderBytes = 30;

// Closes the file on every way out of the reader.
struct cCloseFile {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using cFile = std::unique_ptr<std::FILE, cCloseFile>;

// Little-endian fields of the header.
int32_t ReadLe32(const uint8_t* p) {
    return int32_t(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24);
}

int16_t ReadLe16(const uint8_t* p) { return int16_t(uint16_t(p[0] | p[1] << 8)); }

// Size of a regular file in bytes, or -1 (pipes and devices have no size to
// check the pixel block against).
int64_t FileSize(std::FILE* file) {
    struct stat info;
    if (fstat(fileno(file), &info) != 0 || !S_ISREG(info.st_mode)) return -1;
    return int64_t(info.st_size);
}

// True when a pixel block of `rows` rows, each `rowBytes` long and `stride`
// apart, starting at `offset`, lies inside a file of `fileSize` bytes. The
// last row needs no padding after it. Nothing here can overflow.
bool PixelsFitInFile(int64_t offset, int64_t rows, int64_t rowBytes, int64_t stride, int64_t fileSize) {
    if (offset < 0 || fileSize < 0 || offset > fileSize) return false;
    const int64_t available = fileSize - offset;
    if (rowBytes > available) return false;
    return rows - 1 <= (available - rowBytes) / stride;
}

// One failure line, flushed.
void Report(const char* line) { std::cout << line << std::endl; }

}  // namespace

// Reads the file into a new raster owned by the caller, or returns null.
cRaster* loadBmp(const char* path) {
    std::unique_ptr<cRaster> raster(new (std::nothrow) cRaster);
    if (!raster) return nullptr;

    // A file that cannot be opened reads as no bytes at all.
    cFile file(path ? std::fopen(path, "rb") : nullptr);
    uint8_t header[kHeaderBytes] = {};
    const size_t got = file ? std::fread(header, 1, kHeaderBytes, file.get()) : 0;

    if (got < 2 || header[0] != 'B' || header[1] != 'M') {
        std::cout << "Error! not a bitmap ";
        std::cout.write(reinterpret_cast<const char*>(header), std::streamsize(got < 2 ? got : 2));
        std::cout << std::endl;
        return nullptr;
    }
    // The offset ends at byte 14, the width at 22, the height at 26.
    if (got < 26) {
        Report("Error reading file");
        return nullptr;
    }
    const int32_t offset = ReadLe32(header + 10);
    const int32_t width = ReadLe32(header + 18);
    const int32_t height = ReadLe32(header + 22);
    // A file that ends inside the bit count has none: it shows as 0.
    const int16_t bitCount = got < kHeaderBytes ? 0 : ReadLe16(header + 28);
    if (bitCount != 24) {
        std::cout << "Bad bpp: " << bitCount << std::endl;
        return nullptr;
    }

    // Sizes in 64 bits; a negative height marks a top-down file.
    const bool topDown = height < 0;
    const int64_t rows = topDown ? -int64_t(height) : int64_t(height);
    const int64_t rowBytes = int64_t(width) * 3;
    const int64_t stride = (rowBytes + 3) & ~int64_t(3);
    if (width <= 0 || rows == 0 || rows > std::numeric_limits<int32_t>::max() ||
        !PixelsFitInFile(offset, rows, rowBytes, stride, FileSize(file.get()))) {
        Report("fel i filen");
        return nullptr;
    }

    const size_t total = size_t(rowBytes) * size_t(rows);
    uint8_t* data = new (std::nothrow) uint8_t[total];
    if (!data) return nullptr;
    raster->data = data;
    raster->sizeX = width;
    raster->sizeY = int32_t(rows);

    bool complete = std::fseek(file.get(), long(offset), SEEK_SET) == 0;
    if (complete && stride == rowBytes && !topDown) {
        complete = std::fread(data, 1, total, file.get()) == total;
    } else {
        // Row by row: drop each row's padding, and turn a top-down file so
        // that row 0 is the bottom row.
        uint8_t padding[3];
        const size_t padBytes = size_t(stride - rowBytes);
        for (int64_t i = 0; complete && i < rows; ++i) {
            uint8_t* row = data + size_t(topDown ? rows - 1 - i : i) * size_t(rowBytes);
            complete = std::fread(row, 1, size_t(rowBytes), file.get()) == size_t(rowBytes);
            if (complete && padBytes && i + 1 < rows)
                complete = std::fread(padding, 1, padBytes, file.get()) == padBytes;
        }
    }
    // The file may have shrunk since its size was taken.
    if (!complete) {
        Report("fel i filen");
        return nullptr;
    }

    // B, G, R in the file; R, G, B in the raster.
    for (uint8_t *p = data, *end = data + total; p < end; p += 3) std::swap(p[0], p[2]);
    return raster.release();
}
