// The layer's version and its start: calls before FSOUND_Init, an output
// that cannot be opened, bad arguments, then a working start.
#include "sound/sound.h"
#include "tests/support/test_modules.h"

#include <gtest/gtest.h>

#include <cstdlib>

TEST(SoundInit, VersionIsAtLeastTheLevelItImplements) {
    EXPECT_GE(FSOUND_GetVersion(), 3.6f);
}

// One test: the steps depend on what happened before them in this process.
TEST(SoundInit, RefusesWorkBeforeInitAndReportsAnOutputThatCannotBeOpened) {
    const std::string song = WriteTestModule(TestModule(1, 1, 1, 8, 6, 125), "song.xm");
    EXPECT_EQ(FSOUND_GetError(), SOUND_ERR_NONE);

    EXPECT_EQ(FMUSIC_LoadSong(song.c_str()), nullptr);
    EXPECT_EQ(FSOUND_GetError(), SOUND_ERR_UNINITIALIZED);

    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    EXPECT_EQ(FSOUND_Init(22050, 16, 2), 0);
    EXPECT_EQ(FSOUND_GetError(), SOUND_ERR_INIT);
    EXPECT_EQ(FMUSIC_LoadSong(song.c_str()), nullptr);
    EXPECT_EQ(FSOUND_GetError(), SOUND_ERR_UNINITIALIZED);

    setenv("SDL_AUDIODRIVER", "dummy", 1);
    EXPECT_EQ(FSOUND_Init(100, 16, 2), 0);
    EXPECT_EQ(FSOUND_GetError(), SOUND_ERR_INVALID_PARAM);
    ASSERT_EQ(FSOUND_Init(22050, 16, 2), 1);
    FMUSIC_MODULE* module = FMUSIC_LoadSong(song.c_str());
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(FMUSIC_FreeSong(module), 1);
}
