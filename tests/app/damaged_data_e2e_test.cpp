// The demo on a damaged Data/: every kind of file it reads spoilt in its own
// way. Pictures and the model may be unusable, but the demo starts and keeps
// drawing; a module that is no XM at all ends start-up with the sound
// library's error text, and an XM with a sound header but damaged patterns
// and instruments is played. Run under AddressSanitizer + UndefinedBehaviorSanitizer too (label
// asan), where any bad read of the damaged bytes ends the demo.
#include <gtest/gtest.h>  // before the X headers, whose macros clash with it

#include "tests/support/demo_fixture.h"
#include "tests/support/test_modules.h"

#include <sys/stat.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

namespace e2e {
namespace {

namespace fs = std::filesystem;

// Replaces a file by `size` bytes of noise (the same on every run).
void Noise(const fs::path& file, size_t size) {
    std::mt19937 random(7);
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    for (size_t i = 0; i < size; ++i) out.put(char(random()));
}

// Little-endian fields of an XM file image.
unsigned U16At(const std::vector<uint8_t>& b, size_t at) { return b[at] | b[at + 1] << 8; }
size_t U32At(const std::vector<uint8_t>& b, size_t at) { return U16At(b, at) | size_t(U16At(b, at + 2)) << 16; }

// An XM file image with a sound header and layout whose patterns and
// instruments are damaged: every other cell's five fields are noise (notes,
// instruments, volumes and effects out of any range), and so are half of
// every instrument's key map, its envelopes, vibrato and fade-out, and every
// sample's loop, volume, finetune, type, panning and transpose. The sizes and
// counts that place each part stay, so libxmp loads it and plays what it
// can make of it.
std::vector<uint8_t> DamagedXm() {
    cXmModule m = TestModule(4, 4, 4, 16, 3, 125);
    for (cXmPattern& p : m.patterns)
        for (int cell = 0; cell < 16 * 4; ++cell) {
            // Every field set: the writer stores the cell as five plain bytes.
            p.At(cell / 4, cell % 4) = Note(1 + cell % 4, 0x0c, 0x30);
            p.At(cell / 4, cell % 4).volume = XmSetVolume(48);
        }
    std::vector<uint8_t> b = EncodeXm(m);
    std::mt19937 random(7);
    size_t at = 60 + U32At(b, 60);
    for (size_t p = 0; p < m.patterns.size(); at += U32At(b, at) + U16At(b, at + 7), ++p)
        for (size_t cell = at + U32At(b, at) + 5; cell < at + U32At(b, at) + U16At(b, at + 7); cell += 10)
            for (size_t k = 0; k < 5; ++k) b[cell + k] = uint8_t(random() & (k ? 0xff : 0x7f));  // a note, not a packing byte
    for (size_t i = 0; i < m.instruments.size(); ++i) {
        const size_t header = U32At(b, at), keyMap = at + 33;
        for (size_t key = 1; key < 96; key += 2) b[keyMap + key] = uint8_t(random());
        for (size_t k = keyMap + 96; k < at + header; ++k) b[k] = uint8_t(random());
        at += header;  // then the one sample's header: all but its length, coding and name
        for (size_t k = at + 4; k < at + 17; ++k) b[k] = uint8_t(random());
        at += U32At(b, at - header + 29) + U32At(b, at);
    }
    return b;
}

// Keeps the first half of a file.
void CutInHalf(const fs::path& file) { fs::resize_file(file, fs::file_size(file) / 2); }

// Appends to a sanitizer option variable the demo inherits.
void AddOption(const char* variable, const std::string& option) {
    const char* old = getenv(variable);
    setenv(variable, ((old && *old ? std::string(old) + ":" : std::string()) + option).c_str(), 1);
}

class DamagedDataE2e : public cDemoTest {
protected:
    void SetUp() override {
        cDemoTest::SetUp();
        // In the sanitizer build a report must not pass for the module's
        // status 1. Leaks are left to the unit tests and the fuzzers: at
        // exit the demo's process also holds what SDL, D-Bus and Mesa never
        // free, some of it in libraries already unloaded, which no
        // suppression can name.
        AddOption("ASAN_OPTIONS", "exitcode=99:detect_leaks=0");
        AddOption("UBSAN_OPTIONS", "exitcode=99");
    }

    // The generated Data/ copied into the working directory.
    fs::path CopyData() {
        const fs::path data = fs::path(dir) / "Data";
        fs::copy(VK_DATA_DIR, data, fs::copy_options::recursive);
        return data;
    }
};

TEST_F(DamagedDataE2e, DamagedPicturesAndModelStillLetTheDemoDrawOn) {
    const fs::path data = CopyData();
    CutInHalf(data / "vindelbild.bmp");            // the intro's picture, truncated
    Noise(data / "mekk1.bmp", 4096);               // an overlay picture, not a BMP at all
    std::ofstream(data / "mekkmap2.bmp", std::ios::trunc);  // an overlay mask, empty
    CutInHalf(data / "rongert2.3DS");              // the model, truncated mid-chunk
    fs::remove(data / "rongert.bmp");              // the model's texture, a directory
    fs::create_directory(data / "rongert.bmp");

    auto demo = Start();  // with the test module as damp.xm
    ASSERT_TRUE(demo->WaitForLine("fps: ", 30, true)) << demo->Output();
    EXPECT_TRUE(WaitForNextFps(*demo, 10)) << demo->Output();
    EXPECT_TRUE(WaitForNextFps(*demo, 10)) << demo->Output();
    demo->Signal(SIGTERM);
    EXPECT_EQ(demo->WaitForExit(20), 0) << demo->Output();
}

TEST_F(DamagedDataE2e, ADamagedModuleEndsStartUpWithTheLibrarysErrorText) {
    const fs::path data = CopyData();
    Noise(data / "damp.xm", 8192);
    auto demo = Start(false);
    EXPECT_EQ(demo->WaitForExit(30), 1) << demo->Output();
    EXPECT_EQ(demo->Count("Unknown file format"), 1u) << demo->Output();
    EXPECT_EQ(demo->Count("fps: ", true), 0u) << demo->Output();
}

TEST_F(DamagedDataE2e, AnXmWithDamagedPatternsAndInstrumentsIsPlayed) {
    const std::vector<uint8_t> xm = DamagedXm();
    // libxmp takes it and plays it: samples start and the orders move on.
    const std::vector<cSoundEvent> events = RenderEvents(xm, 6 * kTestRate);
    EXPECT_GT(Triggers(events).size(), 20u);
    EXPECT_GT(events.size() - Triggers(events).size(), 4u);  // order changes

    // The demo loads it, plays it (from a second after start-up) and runs
    // on until it is told to end.
    const fs::path data = CopyData();
    std::ofstream(data / "damp.xm", std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(xm.data()), std::streamsize(xm.size()));
    auto demo = Start(false);
    ASSERT_TRUE(demo->WaitForLine("fps: ", 30, true)) << demo->Output();
    for (int second = 0; second < 3; ++second) EXPECT_TRUE(WaitForNextFps(*demo, 10)) << demo->Output();
    demo->Signal(SIGTERM);
    EXPECT_EQ(demo->WaitForExit(20), 0) << demo->Output();
    EXPECT_TRUE(InOrder(demo->Lines(), {"stopping song", "freeing song"})) << demo->Output();
}

}  // namespace
}  // namespace e2e
