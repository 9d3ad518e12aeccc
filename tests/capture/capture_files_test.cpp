// The capture's files appear under their names only once whole: a PNG frame
// and a WAV written under a file-size limit just below their size, so that
// the write closing the file fails, leave neither the name nor a part file.
#include "capture/png_file.h"
#include "sound/wav_file.h"
#include "tests/support/scratch_directory.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>

#include <filesystem>
#include <functional>
#include <vector>

TEST(CaptureFiles, FileWhoseLastWriteFailsNeverAppearsUnderItsName) {
    // A small picture: its whole PNG stays in the stream's buffer until the
    // file is closed.
    std::vector<uint8_t> rgb(24 * 16 * 3);
    for (size_t i = 0; i < rgb.size(); ++i) rgb[i] = uint8_t(i * 37 + i / 7);
    const std::vector<int16_t> music(2 * 300, 1234);
    const std::pair<const char*, std::function<bool(const std::string&)>> writers[] = {
        {"PNG", [&](const std::string& path) { return WritePngFile(path, 24, 16, rgb.data()); }},
        {"WAV", [&](const std::string& path) {
             cWavFile wav;
             const bool ok = wav.Open(path, 48000, 2) && wav.Write(music.data(), 300);
             return wav.Close() && ok;
         }},
    };
    const std::string dir = MakeScratchDirectory();
    signal(SIGXFSZ, SIG_IGN);  // an over-long write fails instead of ending the test
    for (const auto& [name, write] : writers) {
        SCOPED_TRACE(name);
        const std::string path = dir + "/file-" + name;
        ASSERT_TRUE(write(path));
        rlimit old{}, cut{};
        getrlimit(RLIMIT_FSIZE, &old);
        cut = old;
        cut.rlim_cur = rlim_t(std::filesystem::file_size(path) - 1);
        std::filesystem::remove(path);
        setrlimit(RLIMIT_FSIZE, &cut);
        const bool written = write(path);
        setrlimit(RLIMIT_FSIZE, &old);
        EXPECT_FALSE(written);
        EXPECT_FALSE(std::filesystem::exists(path));
        EXPECT_FALSE(std::filesystem::exists(path + ".part"));
    }
    signal(SIGXFSZ, SIG_DFL);
    RemoveDirectory(dir);
}
