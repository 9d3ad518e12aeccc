// Scratch directories for tests: fresh and empty, under $TMPDIR (or /tmp).
#pragma once

#include <string>

// A fresh empty directory; aborts the test program when none can be made.
std::string MakeScratchDirectory();
// Removes a directory MakeScratchDirectory made, with everything in it; any
// other path is left alone.
void RemoveDirectory(const std::string& path);
