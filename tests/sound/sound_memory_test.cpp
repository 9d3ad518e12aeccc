// Loading a module when memory runs out gives "not enough memory".
//
// This program replaces the global allocation functions so that it can make
// large allocations fail on purpose.
#include "sound/sound.h"
#include "tests/support/test_modules.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
// Allocations of at least this many bytes fail.
std::atomic<size_t> gFailFrom{SIZE_MAX};

void* Allocate(size_t size) {
    if (size >= gFailFrom.load(std::memory_order_relaxed)) return nullptr;
    return std::malloc(size ? size : 1);
}
void* AllocateOrThrow(size_t size) {
    if (void* p = Allocate(size)) return p;
    throw std::bad_alloc();
}
}  // namespace

void* operator new(size_t size) { return AllocateOrThrow(size); }
void* operator new[](size_t size) { return AllocateOrThrow(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

TEST(SoundMemory, LoadingWithoutMemoryForTheFileFailsWithNotEnoughMemory) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    ASSERT_EQ(FSOUND_Init(22050, 16, 2), 1);
    // A long sample makes the file larger than anything else the load
    // allocates, so only the buffer for the file's bytes fails.
    cXmModule xm = TestModule(1, 1, 1, 8, 6, 125);
    xm.instruments[0].samples[0].data8.resize(100000);
    const std::vector<uint8_t> bytes = EncodeXm(xm);
    const std::string song = WriteTestFile(bytes, "song.xm");

    gFailFrom = bytes.size();
    EXPECT_EQ(FMUSIC_LoadSong(song.c_str()), nullptr);
    EXPECT_EQ(FSOUND_GetError(), SOUND_ERR_MEMORY);
    gFailFrom = SIZE_MAX;

    FMUSIC_MODULE* module = FMUSIC_LoadSong(song.c_str());
    EXPECT_NE(module, nullptr);
    FMUSIC_FreeSong(module);
}
