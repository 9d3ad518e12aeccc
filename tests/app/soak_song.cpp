// Writes the short soak's module: every order of the demo's song (0..21) in
// 0.6 seconds each, so that a 90-second soak has shown every scene, the beat
// cycle included, twice within its first 30 seconds and then repeats them. A soak
// judges the memory of its last two thirds; with the real song those would
// still be showing scenes for the first time.
//
//   soak_song <path of damp.xm>
#include "tests/support/square_wave.h"

#include <cstdio>

namespace {

// Orders of the demo's song, each with a scene of its own (order 18 on: the
// beat cycle).
constexpr int kOrders = 22;
// The beat instruments and the instrument of the other notes.
constexpr int kBeatA = 33, kBeatB = 13, kPlain = 1;

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s damp.xm\n", argv[0]);
        return 2;
    }
    cXmModule module;
    module.name = "soak";
    module.channels = 2;
    module.speed = 3;
    module.bpm = 100;  // 75 ms a row, 8 rows an order
    for (int i = 1; i <= kBeatA; ++i) module.instruments.push_back(SquareWaveInstrument("square", 24, 16));

    // One pattern: a beat every fourth row, alternating the two beat
    // instruments, and a plain note between.
    cXmPattern pattern(8, 2);
    for (int row = 0; row < 8; row += 4) {
        pattern.At(row, 0).note = XmNote(4, 0);
        pattern.At(row, 0).instrument = uint8_t(row % 8 ? kBeatB : kBeatA);
        pattern.At(row + 2, 1).note = XmNote(5, 0);
        pattern.At(row + 2, 1).instrument = kPlain;
    }
    module.patterns.push_back(pattern);
    module.orders.assign(kOrders, 0);
    if (!WriteXmFile(module, argv[1])) {
        std::fprintf(stderr, "soak_song: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
