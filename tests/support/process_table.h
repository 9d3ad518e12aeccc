// Other processes seen through /proc: which children a process has forked
// and whether a process still runs.
#pragma once

#include <sys/types.h>

#include <vector>

namespace e2e {

// The processes whose parent is `parent` now.
std::vector<pid_t> ChildrenOf(pid_t parent);
// True while pid runs (a zombie has ended; only its entry is left).
bool StillRunning(pid_t pid);

}  // namespace e2e
