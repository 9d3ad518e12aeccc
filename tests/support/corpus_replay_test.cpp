// Replays a fuzz corpus through its fuzz harness as a test of the ordinary
// build: every input that once found a new path must still be handled
// without a crash or a sanitizer report. The program is built from this file
// and the harness, with VK_CORPUS naming the corpus folder.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

TEST(FuzzCorpus, EveryInputIsHandledSafely) {
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(VK_CORPUS)) {
        std::ifstream in(entry.path(), std::ios::binary);
        const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        SCOPED_TRACE(entry.path().filename().string());
        EXPECT_EQ(LLVMFuzzerTestOneInput(bytes.data(), bytes.size()), 0);
        ++files;
    }
    EXPECT_GE(files, 10) << "the corpus is missing";
}
