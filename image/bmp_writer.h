// 24-bit BMP writer: the pictures of Data/ are written through it.
//
// Writes an uncompressed BITMAPINFOHEADER file, rows bottom-up in B, G, R
// order, each row padded to four bytes as the format requires.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Writes width x height pixels given as R, G, B bytes, rows top-down.
// Returns false when the file cannot be written or the sizes do not match.
bool WriteBmp24(const std::string& path, int width, int height, const std::vector<uint8_t>& rgbTopDown);

// The bytes WriteBmp24 would write, for tests and checksums.
std::vector<uint8_t> EncodeBmp24(int width, int height, const std::vector<uint8_t>& rgbTopDown);
