// The demo on a damaged Data/: every kind of file it reads spoilt in its own
// way. Pictures and the model may be unusable, but the demo starts and keeps
// drawing; a damaged module ends start-up with the sound library's error
// text. Run under AddressSanitizer + UndefinedBehaviorSanitizer too (label
// asan), where any bad read of the damaged bytes ends the demo.
#include <gtest/gtest.h>  // before the X headers, whose macros clash with it

#include "tests/support/demo_fixture.h"

#include <sys/stat.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

namespace e2e {
namespace {

namespace fs = std::filesystem;

// Replaces a file by `size` bytes of noise (the same on every run).
void Noise(const fs::path& file, size_t size) {
    std::mt19937 random(7);
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    for (size_t i = 0; i < size; ++i) out.put(char(random()));
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

}  // namespace
}  // namespace e2e
