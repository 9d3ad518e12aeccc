// Standard output of the programs, held back until they know where the
// demo's log should go.
//
// The demo's static objects write to standard output before main runs (the
// 3DS chunk handlers' registrations) and after it returns (the images'
// goodbye lines), by printf and by the output stream. So it is file
// descriptor 1 itself that is held and moved, not a stream: from a
// constructor that runs before the other static objects, everything written
// goes to a scratch file until main decides.
#pragma once

#include <cstdio>
#include <string>

// Holds standard output in a scratch file from now on; call before the
// static objects are made (a constructor of priority 101). Any of
// descriptors 0 to 2 that is closed is first opened on /dev/null.
void HoldStandardOutput();
// The terminal's standard output, for the program's own lines.
FILE* Console();
// What was held goes to the terminal, and so does everything after it.
void ReleaseStandardOutput();
// What was held, and everything after it up to the process end, goes to the
// file at path (created or truncated); false, with error set, when it
// cannot be made (standard output is then left as it was).
bool MoveStandardOutputTo(const std::string& path, std::string& error);
// What was held, and everything after it, goes nowhere.
void DiscardStandardOutput();
