// The 3DS colour sub-chunk: a helper for handlers of material colours.
// No registered handler uses it yet, so the file's colours are skipped.
#pragma once

#include <iosfwd>

// Reads a colour sub-chunk into rgb (0..1 each). Float colours (ids 0x0010,
// 0x0013) return 18, 24-bit colours (0x0011, 0x0012) return 9, a short read
// -1. Any other id is put back (the stream stays where it was), logged, and
// 0 is returned: nothing was consumed.
int ReadColorChunk(std::istream& stream, float rgb[3]);
