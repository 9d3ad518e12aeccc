// Finding Data/: the working directory, then the installed data directory.
#include "core/data_dir.h"

#include "base/data_files.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

// The user's private group: the user's own primary group, which no other
// user belongs to or has as primary group. Where each user has one (the
// usual umask 002 of such systems), files are made group-writable for that
// group alone.
bool IsPrivateGroup(gid_t gid) {
    const struct passwd* me = getpwuid(geteuid());
    if (!me || me->pw_gid != gid) return false;
    const std::string name = me->pw_name;
    const struct group* group = getgrgid(gid);
    if (!group) return false;
    for (char** member = group->gr_mem; *member; ++member)
        if (name != *member) return false;
    setpwent();
    bool alone = true;
    while (const struct passwd* other = getpwent())
        if (other->pw_gid == gid && name != other->pw_name) alone = false;
    endpwent();
    return alone;
}

// Whether a user other than this one and root may write to s.
bool OthersMayWrite(const struct stat& s) {
    return (s.st_mode & S_IWOTH) || ((s.st_mode & S_IWGRP) && !IsPrivateGroup(s.st_gid));
}

// Written by the user or root alone: owned by one of them, and no other
// user allowed to write.
bool OwnedAndPrivate(const struct stat& s) {
    return (s.st_uid == geteuid() || s.st_uid == 0) && !OthersMayWrite(s);
}

// Why dir's Data/ is not used ("" when it is): the module is missing, or
// another user could change what the demo would read.
std::string Unusable(const fs::path& dir) {
    const fs::path data = dir / "Data", module = dir / kSongFile;
    struct stat d {}, m {}, parent {};
    if (stat(module.c_str(), &m) != 0 || !S_ISREG(m.st_mode)) return "missing";
    if (stat(data.c_str(), &d) != 0 || stat(dir.c_str(), &parent) != 0) return "missing";
    if (!OwnedAndPrivate(d) || !OwnedAndPrivate(m)) return "other users may write to it";
    // In a directory others may write to, Data/ could be swapped for
    // theirs, unless the sticky bit keeps them from renaming ours.
    if (OthersMayWrite(parent) && !(parent.st_mode & S_ISVTX))
        return "other users may replace it";
    return "";
}

}  // namespace

// Choose the directory that holds Data/
cDataSearch FindDataDirectory(const std::string& workingDir, const std::string& executable) {
    cDataSearch search;
    std::string looked, passedOver;
    std::vector<fs::path> candidates{fs::path(workingDir)};
    // VK_DATA_FROM_PROGRAM: the data directory relative to the program's
    // directory in the installed tree.
    if (!executable.empty())
        candidates.push_back((fs::path(executable).parent_path() / VK_DATA_FROM_PROGRAM).lexically_normal());
    for (const fs::path& dir : candidates) {
        const std::string why = Unusable(dir);
        if (why.empty()) {
            search.dir = dir.string();
            break;
        }
        looked += (looked.empty() ? "" : " and ") + dir.string();
        if (why != "missing")
            passedOver += (passedOver.empty() ? "" : "; ") + (dir / "Data").string() + " not used: " + why;
    }
    if (search.dir.empty())
        search.notice = std::string("no ") + kSongFile + " in " + looked;
    if (!passedOver.empty()) search.notice = passedOver + (search.notice.empty() ? "" : "; " + search.notice);
    return search;
}

// Enter the directory that holds Data/
std::string EnterDataDirectory(const char* program) {
    std::error_code error;
    const fs::path working = fs::current_path(error);
    if (error) return "";
    const fs::path executable = fs::read_symlink("/proc/self/exe", error);
    const cDataSearch search = FindDataDirectory(working.string(), error ? "" : executable.string());
    if (!search.notice.empty()) {
        std::fflush(stdout);  // the log so far first: the two never mix mid-line
        std::fprintf(stderr, "%s: %s\n", program, search.notice.c_str());
    }
    if (search.dir.empty() || search.dir == working.string() || chdir(search.dir.c_str()) != 0) return "";
    return search.dir;
}
