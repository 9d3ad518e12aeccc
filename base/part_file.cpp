// Part files: exclusive creation, close, rename or remove.
#include "base/part_file.h"

#include <fcntl.h>
#include <unistd.h>

// ---- Local helpers ---------------------------------------------------------

namespace {

std::string PartName(const std::string& path) { return path + ".part"; }

}  // namespace

// ---- Public functions ------------------------------------------------------

FILE* OpenPart(const std::string& path) {
    const std::string part = PartName(path);
    // Left behind by a capture that was killed; unlinking removes a symbolic
    // link itself, and O_EXCL then refuses anything that reappears.
    unlink(part.c_str());
    const int fd = open(part.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0) return nullptr;
    FILE* file = fdopen(fd, "wb");
    if (!file) {
        close(fd);
        unlink(part.c_str());
    }
    return file;
}

bool FinishPart(FILE* file, const std::string& path, bool complete) {
    const std::string part = PartName(path);
    if (std::fclose(file) != 0) complete = false;
    if (complete && std::rename(part.c_str(), path.c_str()) == 0) return true;
    unlink(part.c_str());
    return false;
}
