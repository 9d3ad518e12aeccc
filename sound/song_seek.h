// Playing a module from any point of its song, and the point heard now.
//
// libxmp keeps a song's playing state (what the pattern effects remember,
// volumes, envelopes, the samples sounding) only by playing it, so a song
// started at a frame is first played from its start to there, unheard (at
// 22050 Hz about 45 ms for two minutes of song on one core). What follows is
// then the same, sample for sample, as if it had played all along.
#pragma once

#include "sound/sound.h"

#include <cstdint>

// Plays module from frame `frame` of its song (frames at FSOUND_Init's
// mixing rate), instead of what it played. Everything stamped at or before
// that frame has passed: FMUSIC_GetOrder reports the order playing there at
// once, and no instrument callback runs for notes started by then (the
// caller knows them from an offline rendering, offline.h). 0 on failure,
// with the last error set.
signed char FMUSIC_PlaySongFrom(FMUSIC_MODULE* module, int64_t frame);
// The frame of module's song heard now; -1 while it is not playing.
int64_t FMUSIC_GetHeardFrame(FMUSIC_MODULE* module);
