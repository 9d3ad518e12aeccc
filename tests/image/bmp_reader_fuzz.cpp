// Fuzz harness for the BMP reader (libFuzzer's entry point). Each input is
// handed to loadBmp as a file: it lives in an in-memory file opened by path
// through /proc/self/fd. An accepted raster must be as large as it claims;
// every byte is touched so the sanitizers see a short allocation.
//
// Built with clang as bmp_reader_fuzz (-fsanitize=fuzzer,address,undefined);
// the corpus under bmp_corpus/ is replayed through the same entry point by
// bmp_corpus_test in every build.
#include "image/bmp_reader.h"

#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace {

// The in-memory file, made once, and its path.
int InputFile() {
    static const int fd = memfd_create("bmp-fuzz-input", 0);
    if (fd < 0) std::abort();
    return fd;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Millions of rejections would otherwise each print a line.
    static std::streambuf* const quiet = [] { return std::cout.rdbuf(nullptr); }();
    (void)quiet;
    const int fd = InputFile();
    if (ftruncate(fd, 0) != 0 || (size && pwrite(fd, data, size, 0) != ssize_t(size))) std::abort();
    const std::string path = "/proc/self/fd/" + std::to_string(fd);

    std::unique_ptr<cRaster> raster(loadBmp(path.c_str()));
    if (!raster) return 0;
    if (raster->sizeX <= 0 || raster->sizeY <= 0 || !raster->data) std::abort();
    const size_t bytes = size_t(raster->sizeX) * size_t(raster->sizeY) * 3;
    if (bytes > size) std::abort();  // pixels come from the file, so never more than it holds
    volatile unsigned sum = 0;
    for (size_t i = 0; i < bytes; ++i) sum = sum + raster->data[i];
    return 0;
}
