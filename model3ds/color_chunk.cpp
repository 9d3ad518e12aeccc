// Colour sub-chunk reader: float or 24-bit RGB behind a 6-byte header.
#include "model3ds/color_chunk.h"

#include "model3ds/chunk_ids.h"
#include "model3ds/chunk_io.h"

#include <cstdint>
#include <iostream>

// Reads one colour sub-chunk, or puts back a chunk that is not one.
int ReadColorChunk(std::istream& stream, float rgb[3]) {
    uint16_t id = 0;
    if (!ReadU16(stream, id)) return -1;
    uint32_t length = 0;
    switch (id) {
        case kChunkColorFloat:
        case kChunkColorFloatGamma:
            if (!ReadU32(stream, length) || !ReadFloats(stream, rgb, 3)) return -1;
            return 18;
        case kChunkColor24:
        case kChunkColor24Gamma: {
            unsigned char bytes[3];
            if (!ReadU32(stream, length) || !stream.read(reinterpret_cast<char*>(bytes), 3)) return -1;
            for (int i = 0; i < 3; ++i) rgb[i] = float(bytes[i]) / 255.0f;
            return 9;
        }
        default:
            stream.seekg(-2, std::ios::cur);
            // "MÄÄP" with the letters as ISO 8859-1 bytes, like the rest of the log.
            std::cout << "M\xC4\xC4P Not a colorchunk" << std::endl;
            return 0;
    }
}
