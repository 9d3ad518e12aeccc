// The music's instruments, every sample synthesized: drums from noise and
// swept sines, bass, pads, lead and stabs from band-limited waves, shaped by
// filters here and by XM envelopes when played.
//
// Numbers are the module's 1-based instrument numbers. 13 (clap) and 33
// (stab) are the two the demo's beat listens to; 15 to 32 are left empty so
// that the stab can sit at 33.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

enum {
    kInsKick = 1,
    kInsClosedHat = 2,
    kInsOpenHat = 3,
    kInsBass = 4,
    kInsPadMinor = 5,
    kInsPadMajor = 6,
    kInsLead = 7,
    kInsPluck = 8,
    kInsCrash = 9,
    kInsTom = 10,
    kInsRiser = 11,
    kInsSnare = 12,
    kInsClap = 13,  // beat
    kInsBoom = 14,
    kInsStab = 33,  // beat
    kInstrumentCount = 33
};

// One instrument with its single sample, in the terms an XM file stores.
struct cSynthInstrument {
    std::string name;              // at most 22 characters
    std::vector<int16_t> pcm;      // empty: an instrument without sample
    bool loop = false;             // forward loop over [loopStart, loopStart + loopLength)
    uint32_t loopStart = 0, loopLength = 0;
    int volume = 64;               // sample's default volume, 0..64
    int relativeNote = 0;          // semitones added to the played note
    int finetune = 0;              // 1/128 semitone, -128..127
    int panning = 128;             // 0 left .. 255 right
    // Volume envelope: (tick, level 0..64) points; empty means none.
    std::vector<std::pair<int, int>> envelope;
    int sustainPoint = -1;         // envelope point held until key-off, -1 none
    int fadeout = 0;               // volume fade per tick after key-off, 0..0xFFF
    int vibratoType = 0, vibratoSweep = 0, vibratoDepth = 0, vibratoRate = 0;
};

// All 33 instruments, index 0 holding instrument 1.
std::vector<cSynthInstrument> MakeInstruments();
