// Test double of the sound layer: the calls of sound/sound.h, answering what
// a test sets, so drawing code can be driven without playing any music.
//
// The current order is settable, or scripted as a sequence of answers for
// successive FMUSIC_GetOrder reads (to change the order between two reads of
// one frame); the calls are counted. Link vk_sound_double instead of
// vk_sound.
#pragma once

#include "sound/sound.h"

#include <string>
#include <vector>

namespace sounddouble {

// Back to the start: order 0, no script, no calls counted, version 3.6,
// initialisation and loading succeed, last error 0.
void Reset();
// The order every read answers (after a script has run out).
void SetOrder(int order);
// Successive reads answer these orders first, one each, then SetOrder's.
void ScriptOrders(const std::vector<int>& orders);
// Reads of the current order since Reset.
int GetOrderCalls();

// What FSOUND_GetVersion answers.
void SetVersion(float version);
// Makes FSOUND_Init fail with SOUND_ERR_INIT.
void FailInit(bool fail);
// Makes FMUSIC_LoadSong fail with SOUND_ERR_FILE_NOT_FOUND.
void FailLoad(bool fail);

// Names of every sound call made since Reset, in order (GetOrder excluded).
const std::vector<std::string>& Calls();
// The callback installed for a 1-based instrument, or null.
FMUSIC_CALLBACK InstrumentCallback(int instrument);
// A module handle as loading gives it (not null).
FMUSIC_MODULE* Song();

}  // namespace sounddouble
