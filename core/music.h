// Music: the beat callback and the texts of the sound layer's error codes.
//
// OnBeatInstrument is installed for instruments 33 and 13; each time either
// is heard it records the song time as the beat time and counts the beat
// (the shared values of beat.h). It runs on the sound layer's thread.
#pragma once

#include "base/data_files.h"
#include "sound/sound.h"

// The two instruments whose notes are the beat (1-based, as the module numbers them).
inline constexpr int kBeatInstruments[] = {33, 13};

// Beat time := song time; beat count := beat count + 1. Both arguments are ignored.
void OnBeatInstrument(FMUSIC_MODULE* module, unsigned char param);
// Beat time and count back to 0, for a song started over from a point of
// its own choosing; only while no beat callback can run.
void ResetBeats();
// English text of a sound-layer error code; "Unknown error" outside 0..18.
const char* SoundErrorText(unsigned int code);
