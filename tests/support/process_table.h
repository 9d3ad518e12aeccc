// Other processes seen through /proc: which children a process has forked
// and whether a process still runs.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace e2e {

// The processes whose parent is `parent` now, and whose name (as ps shows
// it) is `name` unless that is empty.
std::vector<pid_t> ChildrenOf(pid_t parent, const std::string& name = "");
// True while pid runs (a zombie has ended; only its entry is left).
bool StillRunning(pid_t pid);

}  // namespace e2e
