// Little-endian values and names from a 3DS stream, independent of the
// host's byte order.
#include "model3ds/chunk_io.h"

#include <cstring>
#include <istream>

namespace {

// Reads n raw bytes; false on a short read.
bool ReadBytes(std::istream& stream, unsigned char* bytes, size_t n) {
    stream.read(reinterpret_cast<char*>(bytes), std::streamsize(n));
    return bool(stream);
}

// Decoders of little-endian bytes.
uint16_t U16At(const unsigned char* p) { return uint16_t(p[0] | (p[1] << 8)); }

uint32_t U32At(const unsigned char* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

float FloatAt(const unsigned char* p) {
    const uint32_t bits = U32At(p);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

}  // namespace

// Unsigned 16-bit, little-endian.
bool ReadU16(std::istream& stream, uint16_t& value) {
    unsigned char b[2];
    if (!ReadBytes(stream, b, 2)) return false;
    value = U16At(b);
    return true;
}

// Signed 16-bit, little-endian.
bool ReadS16(std::istream& stream, int16_t& value) {
    uint16_t raw;
    if (!ReadU16(stream, raw)) return false;
    value = int16_t(raw);
    return true;
}

// Unsigned 32-bit, little-endian.
bool ReadU32(std::istream& stream, uint32_t& value) {
    unsigned char b[4];
    if (!ReadBytes(stream, b, 4)) return false;
    value = U32At(b);
    return true;
}

// Signed 32-bit, little-endian.
bool ReadS32(std::istream& stream, int32_t& value) {
    uint32_t raw;
    if (!ReadU32(stream, raw)) return false;
    value = int32_t(raw);
    return true;
}

// One IEEE single, little-endian.
bool ReadFloat(std::istream& stream, float& value) { return ReadFloats(stream, &value, 1); }

// count singles, read in blocks of up to 16.
bool ReadFloats(std::istream& stream, float* values, int count) {
    unsigned char b[4 * 16];
    while (count > 0) {
        const int n = count < 16 ? count : 16;
        if (!ReadBytes(stream, b, size_t(n) * 4)) return false;
        for (int i = 0; i < n; ++i) values[i] = FloatAt(b + 4 * i);
        values += n;
        count -= n;
    }
    return true;
}

// count unsigned 16-bit values, read in blocks of up to 16.
bool ReadU16s(std::istream& stream, uint16_t* values, int count) {
    unsigned char b[2 * 16];
    while (count > 0) {
        const int n = count < 16 ? count : 16;
        if (!ReadBytes(stream, b, size_t(n) * 2)) return false;
        for (int i = 0; i < n; ++i) values[i] = U16At(b + 2 * i);
        values += n;
        count -= n;
    }
    return true;
}

// A zero-terminated name of at most 254 characters.
int ReadName(std::istream& stream, char (&name)[kNameBuffer]) {
    for (int length = 0; length < kNameBuffer; ++length) {
        const int c = stream.get();
        if (c == std::char_traits<char>::eof()) {
            name[length] = '\0';
            return -1;
        }
        name[length] = char(c);
        if (c == '\0') return length;
    }
    // 255 characters without a terminator: longer than the format allows.
    name[kNameBuffer - 1] = '\0';
    return -1;
}
