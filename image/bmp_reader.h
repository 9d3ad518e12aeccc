// loadBmp: the reader of uncompressed 24-bit Windows BMP files.
//
// It accepts 24 bits per pixel and nothing else. Rows are read with the
// padding the format stores after each row (a row takes (width * 3 + 3) & ~3
// bytes in the file) and are stored tightly packed, bottom row first; a
// top-down file (negative height) is turned the same way up. Each failure
// prints one line on standard output and yields null:
//   "Error! not a bitmap " + the bytes read   no file, empty, or not "BM"
//   "Error reading file"                      ends inside offset, width, height
//   "Bad bpp: " + the bit count               anything but 24 bits per pixel
//   "fel i filen"                             bad size, or the pixels do not fit
//                                             in the file (checked before any
//                                             allocation)
#pragma once

#include "image/raster.h"

// Reads the file into a new raster owned by the caller, or returns null.
cRaster* loadBmp(const char* path);
