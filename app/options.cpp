// Command-line parsing of the demo.
#include "app/options.h"

namespace {

const char* const kUsage =
    "Usage: vindelkrok [OPTION]...\n"
    "A real-time demo: music and OpenGL scenes. Runs from a directory holding\n"
    "Data/, or from the installed data directory.\n"
    "\n"
    "  --windowed   start in an 800x600 window instead of full screen\n"
    "  --silent     play without a sound device (the music runs silently, the\n"
    "               pictures follow it as usual)\n"
    "  --help       this text\n"
    "  --version    the version\n"
    "\n"
    "Keys: Escape or a mouse button ends the demo; F1 toggles full screen.\n";

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
        else
            return "unknown argument '" + name + "'";
    }
    return "";
}

const char* DemoUsage() { return kUsage; }

std::string DemoVersion() { return std::string("vindelkrok ") + VK_VERSION; }
