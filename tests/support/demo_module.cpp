// The end-to-end tests' module: a quiet square-wave note, order 0 for one
// row and then order 1 (which draws no scene, only the cleared frame) for
// half a minute, longer than any test runs.
#include "tests/support/demo_fixture.h"

#include "tests/support/square_wave.h"

namespace e2e {

bool WriteTestModule(const std::string& path) {
    cXmModule module;
    module.name = "e2e test";
    module.channels = 1;
    module.speed = 6;
    module.bpm = 125;  // 0.12 s a row

    module.instruments.push_back(SquareWaveInstrument("square", 24, 16));

    cXmPattern opening(1, 1);
    opening.At(0, 0).note = XmNote(4, 0);
    opening.At(0, 0).instrument = 1;
    module.patterns.push_back(opening);
    module.patterns.push_back(cXmPattern(256, 1));
    module.orders = {0, 1};
    return WriteXmFile(module, path);
}

}  // namespace e2e
