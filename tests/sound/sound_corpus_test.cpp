// Replays the sound layer's fuzz corpus (sound_corpus/) through the fuzz
// harness: every module that once found a new path still loads, renders and
// stamps its events without a crash or a sanitizer report.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

TEST(SoundCorpus, EveryCorpusModuleIsPlayedOrRejectedSafely) {
    const std::filesystem::path corpus = std::filesystem::path(VK_SOURCE_DIR) / "tests/sound/sound_corpus";
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
        std::ifstream in(entry.path(), std::ios::binary);
        const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        SCOPED_TRACE(entry.path().filename().string());
        EXPECT_EQ(LLVMFuzzerTestOneInput(bytes.data(), bytes.size()), 0);
        ++files;
    }
    EXPECT_GE(files, 10) << "the corpus is missing";
}
