// Command-line parsing of the demo.
#include "app/options.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace {

const char* const kUsage =
    "Usage: vindelkrok [OPTION]...\n"
    "A real-time demo: music and OpenGL scenes. Runs from a directory holding\n"
    "Data/, or from the installed data directory.\n"
    "\n"
    "  --windowed   start in an 800x600 window instead of full screen\n"
    "  --silent     play without a sound device (the music runs silently, the\n"
    "               pictures follow it as usual)\n"
    "  --start SECONDS\n"
    "               start at that song time (0 to 3600), as if the demo had\n"
    "               played from the beginning to there\n"
    "  --help       this text\n"
    "  --version    the version\n"
    "\n"
    "Keys: Escape or a mouse button ends the demo; F1 toggles full screen.\n"
    "Right jumps to the start of the next order of the music; Left to the\n"
    "start of the current one, or of the one before within its first second;\n"
    "Home to the beginning; Space pauses and resumes.\n";

// A song time for --start: a whole decimal number of seconds from 0 to the
// latest start, nothing else.
bool ParseStart(const std::string& text, double& seconds) {
    if (text.empty() || !(std::isdigit(static_cast<unsigned char>(text[0])) || text[0] == '.')) return false;
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(text.c_str(), &end);
    if (errno != 0 || *end != '\0' || !std::isfinite(value) || value > kLatestStart) return false;
    seconds = value;
    return true;
}

}  // namespace

std::string ParseDemoOptions(int argc, const char* const* argv, cDemoOptions& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        if (name == "--help" || name == "-h")
            options.help = true;
        else if (name == "--version")
            options.version = true;
        else if (name == "--windowed")
            options.windowed = true;
        else if (name == "--silent")
            options.silent = true;
        else if (name == "--start" || name.rfind("--start=", 0) == 0) {
            const bool joined = name.size() > 7;
            if (!joined && i + 1 == argc) return "--start needs a song time in seconds";
            const std::string value = joined ? name.substr(8) : argv[++i];
            if (!ParseStart(value, options.start))
                return "--start takes a song time in seconds from 0 to 3600, not '" + value + "'";
        } else
            return "unknown argument '" + name + "'";
    }
    return "";
}

const char* DemoUsage() { return kUsage; }

std::string DemoVersion() { return std::string("vindelkrok ") + VK_VERSION; }
