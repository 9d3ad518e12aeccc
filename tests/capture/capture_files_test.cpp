// The capture's files appear under their names only once whole: a PNG frame
// and a WAV of music written under a file-size limit just below their size,
// so that the last write (the one closing the file) fails, leave nothing
// under the name and no part file.
#include "capture/png_file.h"
#include "sound/wav_file.h"
#include "tests/support/scratch_directory.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>

#include <filesystem>
#include <functional>
#include <vector>

namespace {

// Runs write with file sizes limited to limit bytes (and SIGXFSZ ignored,
// so that an over-long write fails instead of ending the test); its result.
bool WriteLimited(const std::function<bool()>& write, rlim_t limit) {
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit cut = old;
    cut.rlim_cur = limit;
    auto* previous = signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &cut);
    const bool written = write();
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, previous);
    return written;
}

struct cWriter {
    const char* name;
    std::function<bool(const std::string& path)> write;
};

}  // namespace

TEST(CaptureFiles, FileWhoseLastWriteFailsNeverAppearsUnderItsName) {
    // A small picture: its whole PNG stays in the stream's buffer until the
    // file is closed.
    std::vector<uint8_t> rgb(24 * 16 * 3);
    for (size_t i = 0; i < rgb.size(); ++i) rgb[i] = uint8_t(i * 37 + i / 7);
    const std::vector<int16_t> music(2 * 300, 1234);
    const cWriter writers[] = {
        {"PNG", [&](const std::string& path) { return WritePngFile(path, 24, 16, rgb.data()); }},
        {"WAV", [&](const std::string& path) {
             cWavFile wav;
             const bool ok = wav.Open(path, 48000, 2) && wav.Write(music.data(), 300);
             return wav.Close() && ok;
         }},
    };
    const std::string dir = MakeScratchDirectory();
    for (const cWriter& w : writers) {
        SCOPED_TRACE(w.name);
        const std::string path = dir + "/file-" + w.name;
        ASSERT_TRUE(w.write(path));
        const auto size = std::filesystem::file_size(path);
        std::filesystem::remove(path);
        EXPECT_FALSE(WriteLimited([&] { return w.write(path); }, rlim_t(size - 1)));
        EXPECT_FALSE(std::filesystem::exists(path));
        EXPECT_FALSE(std::filesystem::exists(path + ".part"));
    }
    RemoveDirectory(dir);
}
