// Offline playback: a module rendered by its caller, with no output device
// and no thread of the layer's own, for capturing the demo to a file.
//
// The caller renders the song block by block and keeps the stamped events;
// when its own clock reaches an event's frame it releases it, and the event
// does what it does in live playback: an order change moves the order that
// FMUSIC_GetOrder reports, a trigger runs the callback installed for its
// instrument with FMUSIC_SetInstCallback. Everything happens on the
// caller's thread. FMUSIC_FreeSong frees the module.
#pragma once

#include "sound/sound.h"
#include "sound/sound_event.h"

#include <cstdint>
#include <vector>

// Loads a module and starts it at its first order, mixing at rate Hz; no
// FSOUND_Init needed. Null on failure, with the last error set.
FMUSIC_MODULE* LoadOfflineSong(const char* name, int rate);
// Renders the next frames (2 * frames values, left first) and appends the
// events stamped in them, without releasing them.
void RenderOfflineSong(FMUSIC_MODULE* module, int16_t* out, int frames, std::vector<cSoundEvent>& events);
// Releases an event as the output does when it is heard.
void ReleaseSongEvent(FMUSIC_MODULE* module, const cSoundEvent& event);
// First frame of the song's second pass, or -1 while it has not been rendered.
int64_t FirstPassEnd(const FMUSIC_MODULE* module);
