// Reading /proc/<pid>/stat: "pid (comm) state ppid ...", where comm may
// itself hold blanks and parentheses, so fields are counted from the last ')'.
#include "tests/support/process_table.h"

#include <dirent.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace e2e {
namespace {

// State letter, parent and name of a process; false when it has no entry.
bool ReadStat(pid_t pid, char& state, pid_t& parent, std::string* name = nullptr) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const size_t open = text.find('('), close = text.rfind(')');
    if (open == std::string::npos || close == std::string::npos || close < open) return false;
    if (name) *name = text.substr(open + 1, close - open - 1);
    std::istringstream fields(text.substr(close + 1));
    long ppid = 0;
    if (!(fields >> state >> ppid)) return false;
    parent = pid_t(ppid);
    return true;
}

}  // namespace

std::vector<pid_t> ChildrenOf(pid_t parent, const std::string& name) {
    std::vector<pid_t> children;
    DIR* proc = opendir("/proc");
    if (!proc) return children;
    while (const dirent* entry = readdir(proc)) {
        char* end = nullptr;
        const long pid = strtol(entry->d_name, &end, 10);
        char state = 0;
        pid_t ppid = 0;
        std::string comm;
        if (pid > 0 && *end == '\0' && ReadStat(pid_t(pid), state, ppid, &comm) && ppid == parent &&
            (name.empty() || comm == name))
            children.push_back(pid_t(pid));
    }
    closedir(proc);
    return children;
}

bool StillRunning(pid_t pid) {
    char state = 0;
    pid_t parent = 0;
    return ReadStat(pid, state, parent) && state != 'Z' && state != 'X';
}

}  // namespace e2e
