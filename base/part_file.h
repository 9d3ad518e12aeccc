// Files that appear under their name only once complete.
//
// A file is written under its name with ".part" added and renamed when it
// is whole, so a program stopped in the middle (a signal, a crash) never
// leaves a truncated PNG or WAV under the real name.
#pragma once

#include <cstdio>
#include <string>

// Creates path + ".part" afresh for writing (a stale one is replaced, a
// symbolic link there is not followed); nullptr when it cannot.
FILE* OpenPart(const std::string& path);
// Closes file, opened by OpenPart(path); when complete and the close
// succeeds, renames it to path, otherwise removes it. True when path now
// holds the file.
bool FinishPart(FILE* file, const std::string& path, bool complete);
