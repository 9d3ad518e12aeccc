// Where the demo's Data/ is found.
//
// In the working directory first, as the demo always looked for it; then in
// the installed data directory, found from the program's own path
// (<prefix>/games/vindelkrok reads <prefix>/share/games/vindelkrok/Data), so
// an installed tree works wherever it is unpacked.
//
// A Data/ counts only when it holds the module, so an unrelated Data/ (an
// empty one, ~/Data) does not hide the installed data; and only when no
// other user can change what is read from it: Data/ and the module owned by
// the user or root and writable by nobody else, in a directory where nobody
// else can replace Data/ (writable only by its owner, or sticky like /tmp).
// Another user's /tmp/Data is never read.
#pragma once

#include <string>

struct cDataSearch {
    std::string dir;     // the directory holding a usable Data/; "" when none
    std::string notice;  // for the user: a Data/ passed over, or where the
                         // module was looked for in vain; "" when neither
};

// Looks in workingDir, then in the data directory installed beside the
// program at `executable` ("" for none).
cDataSearch FindDataDirectory(const std::string& workingDir, const std::string& executable);
// Changes into the directory found when it is not the working directory,
// and prints the notice, if any, on standard error after "<program>: ".
// Returns the directory changed to, or "" when the working directory stays.
std::string EnterDataDirectory(const char* program);
