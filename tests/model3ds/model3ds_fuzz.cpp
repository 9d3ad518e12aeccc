// libFuzzer target for the 3DS reader: any bytes are read as a model file
// into a fresh level, which is then drawn (through the fake GL) so that
// faces pointing at the wrong place show up too. Runs under ASan + UBSan.
//
// Speed matters more than the record here: the loader's log goes to a
// stream without a buffer (nothing is formatted) and the fake GL only counts
// the calls instead of keeping them.
#include "model3ds/chunk_reader.h"
#include "model3ds/level.h"
#include "model3ds/mesh_draw.h"
#include "tests/support/fake_gl.h"

#include <GL/gl.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <fcntl.h>
#include <iostream>
#include <sstream>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Texture file names come from the input: one naming standard input
    // must read an empty file, not wait for a terminal.
    const int empty = open("/dev/null", O_RDONLY);
    if (empty >= 0) dup2(empty, 0);
    std::cout.rdbuf(nullptr);
    fakegl::SetRecording(false);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::istringstream stream(std::string(reinterpret_cast<const char*>(data), size));
    cLevel level;
    // A well-formed file is a single top-level chunk; reading on after it
    // also covers files of several.
    while (ReadChunk(stream, level) != -1 && stream.good()) {
    }
    DrawLevel(level, GL_TRIANGLE_FAN);
    // Forget the names and textures the input made before the next one.
    fakegl::Reset();
    fakegl::SetRecording(false);
    return 0;
}
