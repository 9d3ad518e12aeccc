// Small XM modules for the sound tests.
#include "tests/support/test_modules.h"

#include "tests/support/scratch_directory.h"
#include "tests/support/square_wave.h"

#include "sound/renderer.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

// A directory of this test program's files, removed when it ends.
struct cTempDir {
    cTempDir() : path(MakeScratchDirectory()) {}
    ~cTempDir() { RemoveDirectory(path); }
    std::string path;
};

const std::string& TempDir() {
    static cTempDir dir;
    return dir.path;
}

}  // namespace

cXmModule TestModule(int channels, int instruments, int patterns, int rows, int speed, int bpm) {
    cXmModule m;
    m.name = "test";
    m.channels = channels;
    m.speed = speed;
    m.bpm = bpm;
    for (int i = 0; i < patterns; ++i) {
        m.patterns.emplace_back(rows, channels);
        m.orders.push_back(uint8_t(i));
    }
    for (int i = 1; i <= instruments; ++i) m.instruments.push_back(SquareWaveInstrument("square " + std::to_string(i), 60));
    return m;
}

cXmCell Note(int instrument, uint8_t effect, uint8_t param) {
    cXmCell c;
    c.note = XmNote(4, 0);
    c.instrument = uint8_t(instrument);
    c.effect = effect;
    c.param = param;
    return c;
}

std::string WriteTestModule(const cXmModule& module, const std::string& name) {
    EXPECT_EQ(XmProblem(module), "");
    return WriteTestFile(EncodeXm(module), name);
}

std::string WriteTestFile(const std::vector<uint8_t>& bytes, const std::string& name) {
    const std::string path = TempDir() + "/" + name;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return path;
}

std::vector<cSoundEvent> RenderEvents(const cXmModule& module, int frames) {
    return RenderEvents(EncodeXm(module), frames);
}

std::vector<cSoundEvent> RenderEvents(const std::vector<uint8_t>& bytes, int frames) {
    cRenderer renderer;
    EXPECT_EQ(renderer.LoadMemory(bytes.data(), bytes.size()), 0);
    EXPECT_TRUE(renderer.Start(kTestRate));
    std::vector<int16_t> pcm(size_t(frames) * 2);
    std::vector<cSoundEvent> events;
    renderer.Render(pcm.data(), frames, events);
    return events;
}

std::vector<cSoundEvent> Triggers(const std::vector<cSoundEvent>& events) {
    std::vector<cSoundEvent> triggers;
    for (const cSoundEvent& e : events)
        if (e.kind == cSoundEvent::cKind::kTrigger) triggers.push_back(e);
    return triggers;
}
