// PNG writer for captured frames: 8-bit RGB, rows top-down.
#pragma once

#include <cstdint>
#include <string>

// Writes width x height RGB pixels to path; false when it cannot. The file
// appears under path only once complete.
bool WritePngFile(const std::string& path, int width, int height, const uint8_t* rgb);
