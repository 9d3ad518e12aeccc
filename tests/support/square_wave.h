// The test modules' instrument: a 32-value square wave, looped, so that it
// sounds for as long as a note lasts.
#pragma once

#include "sound/xm_writer.h"

#include <string>

inline cXmInstrument SquareWaveInstrument(const std::string& name, int8_t amplitude, uint8_t volume = 64) {
    cXmSample square;
    square.name = name;
    for (int i = 0; i < 32; ++i) square.data8.push_back(int8_t(i < 16 ? amplitude : -amplitude));
    square.loop = cXmLoop::kForward;
    square.loopLength = 32;
    square.volume = volume;
    cXmInstrument instrument;
    instrument.name = name;
    instrument.samples.push_back(square);
    return instrument;
}
