// Where the demo's Data/ is found.
//
// In the working directory first, as the demo always looked for it; then in
// the installed data directory, found from the program's own path
// (<prefix>/games/vindelkrok reads <prefix>/share/games/vindelkrok/Data), so
// an installed tree works wherever it is unpacked.
#pragma once

#include <string>

// The directory that holds Data/: workingDir when it does, else the data
// directory installed beside the program at `executable`; "" when neither.
std::string FindDataDirectory(const std::string& workingDir, const std::string& executable);
// Changes into the installed data directory when the working directory has
// no Data/ (the program's path from /proc/self/exe); returns the directory
// changed to, or "" when the working directory stays.
std::string EnterDataDirectory();
