// Finding Data/: the working directory, then the installed data directory.
#include "core/data_dir.h"

#include <unistd.h>

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

bool HoldsData(const fs::path& dir) {
    std::error_code error;
    return fs::is_directory(dir / "Data", error);
}

}  // namespace

std::string FindDataDirectory(const std::string& workingDir, const std::string& executable) {
    if (HoldsData(workingDir)) return workingDir;
    if (executable.empty()) return "";
    // VK_DATA_FROM_PROGRAM: the data directory relative to the program's
    // directory in the installed tree.
    const fs::path installed = fs::path(executable).parent_path() / VK_DATA_FROM_PROGRAM;
    if (HoldsData(installed)) return installed.lexically_normal().string();
    return "";
}

std::string EnterDataDirectory() {
    std::error_code error;
    const fs::path working = fs::current_path(error);
    if (error || HoldsData(working)) return "";
    const fs::path executable = fs::read_symlink("/proc/self/exe", error);
    if (error) return "";
    const std::string dir = FindDataDirectory(working.string(), executable.string());
    if (dir.empty() || chdir(dir.c_str()) != 0) return "";
    return dir;
}
