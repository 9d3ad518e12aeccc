// Little-endian values and zero-terminated names from a 3DS byte stream.
//
// Each reader returns false (or -1) when the stream ends or fails before the
// value is complete; the stream is then no longer good.
#pragma once

#include <cstdint>
#include <iosfwd>

// Room for a name: at most 254 characters and the terminating zero.
constexpr int kNameBuffer = 255;

bool ReadU16(std::istream& stream, uint16_t& value);
bool ReadS16(std::istream& stream, int16_t& value);
bool ReadU32(std::istream& stream, uint32_t& value);
bool ReadS32(std::istream& stream, int32_t& value);
bool ReadFloat(std::istream& stream, float& value);
// Reads `count` little-endian floats; false on a short read.
bool ReadFloats(std::istream& stream, float* values, int count);
// Reads `count` little-endian unsigned 16-bit values; false on a short read.
bool ReadU16s(std::istream& stream, uint16_t* values, int count);

// Reads characters up to and including a zero byte into name (the zero is
// stored as the terminator). Returns the name's length, or -1 when the
// stream ends first or the name has more than 254 characters.
int ReadName(std::istream& stream, char (&name)[kNameBuffer]);
