// Replacement of the global operator new and delete that counts live blocks.
#include "tests/support/allocation_count.h"

#include <atomic>
#include <cstdlib>
#include <dirent.h>
#include <new>

namespace {
std::atomic<long> live{0};
std::atomic<size_t> largest{0};

// Every unaligned form is replaced, since a sanitizer's run-time library
// brings its own versions of those not replaced here.
void* Allocate(size_t size) noexcept {
    size_t seen = largest.load();
    while (size > seen && !largest.compare_exchange_weak(seen, size)) {
    }
    void* block = std::malloc(size ? size : 1);
    if (block) ++live;
    return block;
}

void Release(void* block) noexcept {
    if (!block) return;
    --live;
    std::free(block);
}

}  // namespace

void* operator new(size_t size) {
    if (void* block = Allocate(size)) return block;
    throw std::bad_alloc();
}
void* operator new[](size_t size) { return operator new(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void operator delete(void* block) noexcept { Release(block); }
void operator delete[](void* block) noexcept { Release(block); }
void operator delete(void* block, size_t) noexcept { Release(block); }
void operator delete[](void* block, size_t) noexcept { Release(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { Release(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { Release(block); }

namespace alloctest {

long LiveBlocks() { return live.load(); }
size_t LargestRequest() { return largest.load(); }
void ResetLargest() { largest = 0; }

int OpenFiles() {
    int count = 0;
    if (DIR* dir = opendir("/proc/self/fd")) {
        while (readdir(dir)) ++count;
        closedir(dir);
    }
    return count;
}

}  // namespace alloctest
