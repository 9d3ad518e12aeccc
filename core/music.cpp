// Music: the beat callback and the error texts.
//
// The beat values were plain doubles and an int written on the sound
// thread while the main loop read them: a data race, undefined behaviour in
// C++ however aligned the stores. They are relaxed atomics now (beat.h), which
// keeps "one writer each, nothing locked" and makes it defined.
#include "core/music.h"

#include "base/beat.h"

// ---- Constants -------------------------------------------------------------

namespace {

// Indexed by error code (SOUND_ERR_*). 12 keeps its trailing blank.
const char* const kErrorTexts[] = {
    "No errors",
    "Cannot call this command after FSOUND_Init.  Call FSOUND_Close first.",
    "This command failed because FSOUND_Init was not called",
    "Error initializing output device.",
    "The output device is already in use and cannot be reused.",
    "Playing the sound failed.",
    "Soundcard does not support the features needed for this soundsystem (16bit stereo output)",
    "Error setting cooperative level for hardware.",
    "Error creating hardware sound buffer.",
    "File not found",
    "Unknown file format",
    "Error loading file",
    "Not enough memory ",
    "The version number of this file format is not supported",
    "An invalid parameter was passed to this function",
    "Tried to use an EAX command on a non EAX enabled channel or output.",
    "Failed to allocate a new channel",
    "Recording not supported on this device",
    "Required Mediaplayer codec is not installed",
};

}  // namespace

// ---- Public functions ------------------------------------------------------

void OnBeatInstrument(FMUSIC_MODULE*, unsigned char) {
    gBeatTime.store(SongTime(), std::memory_order_relaxed);
    gBeatCount.fetch_add(1, std::memory_order_relaxed);
}

void ResetBeats() {
    gBeatTime.store(0.0, std::memory_order_relaxed);
    gBeatCount.store(0, std::memory_order_relaxed);
}

const char* SoundErrorText(unsigned int code) {
    if (code < sizeof(kErrorTexts) / sizeof(kErrorTexts[0])) return kErrorTexts[code];
    return "Unknown error";
}
