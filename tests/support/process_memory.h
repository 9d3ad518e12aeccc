// Reading a global variable of a running program from outside, by its
// symbol name: how an end-to-end test sees the demo's song time without the
// demo printing it.
#pragma once

#include <sys/types.h>

#include <string>

namespace e2e {

// Reads the 8-byte double `symbol` of the process pid running program (an
// unstripped ELF64 executable); false when it cannot.
bool ReadProcessDouble(pid_t pid, const std::string& program, const std::string& symbol, double& value);

}  // namespace e2e
