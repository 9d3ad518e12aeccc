// Scratch directories made with mkdtemp and removed recursively.
#include "tests/support/scratch_directory.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace {
// In every name made here, so nothing else is ever removed.
constexpr const char* kMarker = "/vk-scratch-";
}  // namespace

std::string MakeScratchDirectory() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + kMarker + "XXXXXX";
    if (!mkdtemp(pattern.data())) std::abort();
    return pattern;
}

void RemoveDirectory(const std::string& path) {
    if (path.find(kMarker) == std::string::npos) return;
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}
