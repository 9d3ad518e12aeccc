// Counts the program's live heap blocks made with new, and the largest one
// asked for, so a test can tell that a failing call left nothing behind and
// never asked for a huge block. Linking allocation_count.cpp replaces the
// global operator new and delete of the test program.
#pragma once

#include <cstddef>

namespace alloctest {

// Blocks made with new and not yet deleted.
long LiveBlocks();
// Largest single request since the last ResetLargest.
size_t LargestRequest();
void ResetLargest();
// Number of open file descriptors of the process.
int OpenFiles();

}  // namespace alloctest
