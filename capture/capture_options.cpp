// Command-line parsing of vindelkrok-capture.
#include "capture/capture_options.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

// ---- Constants -------------------------------------------------------------

constexpr int kMaxFps = 240;
// The largest constant rate factor of 8-bit H.264.
constexpr int kMaxCrf = 51;
// Frame sizes GL renderbuffers and the encoder take without complaint.
constexpr int kMinSide = 16;
constexpr int kMaxSide = 8192;
// Song times beyond this are typing mistakes, not captures (a day).
constexpr double kMaxSeconds = 86400.0;

const char* const kUsage =
    "Usage: vindelkrok-capture [OPTION]...\n"
    "Renders the demo offline, frame by frame, with its music, from Data/ in the\n"
    "working directory. Needs no display and no sound card.\n"
    "\n"
    "  --fps N            frames per second (default 60)\n"
    "  --start S          song time of the first frame in seconds (default 0)\n"
    "  --duration S       seconds to capture (default: to the end of the music's\n"
    "                     first pass)\n"
    "  --size WxH         frame size in pixels (default 800x600)\n"
    "  --output PATH      the MP4 file (default vindelkrok.mp4); with --stills,\n"
    "                     the directory for them (default stills)\n"
    "  --png DIR          numbered PNG frames (frame-000000.png, ...) and the music\n"
    "                     as audio.wav into DIR, instead of an MP4\n"
    "  --stills T1,T2,... one PNG frame at each song time, named still-T.png;\n"
    "                     times fall on the nearest frame\n"
    "  --continue PART    finish a stopped capture of the same options: keep the\n"
    "                     frames its MP4 (or --png directory) PART holds, capture\n"
    "                     the rest, and write the whole range with its music\n"
    "                     into --output (or the --png directory)\n"
    "  --crf N            H.264 quality of the MP4, 0 to 51, lower is better and\n"
    "                     larger (default 18, visually lossless for the demo)\n"
    "  --help             this text\n"
    "\n"
    "The MP4 (H.264 video, AAC audio) is encoded by the ffmpeg program, which\n"
    "must be on PATH. Frames are drawn on a clock of exactly 1/fps seconds from\n"
    "the song's start; every frame before --start is drawn too (not output), so\n"
    "a frame looks the same whichever range it is captured in.\n"
    "\n"
    "Standard output shows only the progress and the summary; the demo's own\n"
    "log goes beside the output: FILE.log next to an MP4, log.txt in the\n"
    "directory of PNG frames or stills.\n";

// ---- Local helpers ---------------------------------------------------------

// A finite number that takes up the whole text.
bool ParseNumber(const std::string& text, double& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtod(text.c_str(), &end);
    return errno == 0 && *end == '\0' && std::isfinite(value);
}

// A whole number that takes up the whole text.
bool ParseInt(const std::string& text, int& value) {
    if (text.empty() || !(text[0] >= '0' && text[0] <= '9')) return false;
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || v > 1000000) return false;
    value = int(v);
    return true;
}

// "WxH" with both sides in range.
bool ParseSize(const std::string& text, int& width, int& height) {
    const size_t x = text.find('x');
    if (x == std::string::npos) return false;
    int w = 0, h = 0;
    if (!ParseInt(text.substr(0, x), w) || !ParseInt(text.substr(x + 1), h)) return false;
    if (w < kMinSide || h < kMinSide || w > kMaxSide || h > kMaxSide) return false;
    width = w;
    height = h;
    return true;
}

// Comma-separated song times, each at least 0.
bool ParseTimes(const std::string& text, std::vector<double>& times, std::vector<std::string>& names) {
    size_t from = 0;
    for (;;) {
        const size_t comma = text.find(',', from);
        const std::string item = text.substr(from, comma == std::string::npos ? std::string::npos : comma - from);
        double t = 0;
        if (!ParseNumber(item, t) || t < 0 || t > kMaxSeconds) return false;
        times.push_back(t);
        names.push_back(item);
        if (comma == std::string::npos) return true;
        from = comma + 1;
    }
}

}  // namespace

// ---- Public functions ------------------------------------------------------

std::string ParseCaptureOptions(int argc, const char* const* argv, cCaptureOptions& options) {
    for (int i = 1; i < argc; ++i) {
        std::string name = argv[i];
        if (name == "--help" || name == "-h") {
            options.help = true;
            continue;
        }
        std::string value;
        const size_t equals = name.find('=');
        if (name.rfind("--", 0) == 0 && equals != std::string::npos) {
            value = name.substr(equals + 1);
            name = name.substr(0, equals);
        } else if (name == "--fps" || name == "--start" || name == "--duration" || name == "--size" ||
                   name == "--output" || name == "--png" || name == "--stills" || name == "--crf" ||
                   name == "--continue") {
            if (i + 1 >= argc) return name + " needs a value";
            value = argv[++i];
        } else {
            return "unknown argument '" + name + "' (see --help)";
        }

        double number = 0;
        if (name == "--fps") {
            if (!ParseInt(value, options.fps) || options.fps < 1 || options.fps > kMaxFps)
                return "--fps takes a whole number from 1 to 240, not '" + value + "'";
        } else if (name == "--start") {
            if (!ParseNumber(value, number) || number < 0 || number > kMaxSeconds)
                return "--start takes a song time of 0 seconds or more, not '" + value + "'";
            options.start = number;
        } else if (name == "--duration") {
            if (!ParseNumber(value, number) || number <= 0 || number > kMaxSeconds)
                return "--duration takes a number of seconds above 0, not '" + value + "'";
            options.duration = number;
        } else if (name == "--size") {
            if (!ParseSize(value, options.width, options.height))
                return "--size takes WIDTHxHEIGHT, each from 16 to 8192, not '" + value + "'";
        } else if (name == "--crf") {
            if (!ParseInt(value, options.crf) || options.crf > kMaxCrf)
                return "--crf takes a whole number from 0 to 51, not '" + value + "'";
        } else if (name == "--output") {
            if (value.empty()) return "--output needs a path";
            options.output = value;
        } else if (name == "--png") {
            if (value.empty()) return "--png needs a directory";
            options.pngDirectory = value;
        } else if (name == "--continue") {
            if (value.empty()) return "--continue needs the stopped capture's MP4 or directory";
            options.continued = value;
        } else if (name == "--stills") {
            options.stills.clear();
            options.stillNames.clear();
            if (!ParseTimes(value, options.stills, options.stillNames))
                return "--stills takes song times of 0 seconds or more, separated by commas, not '" + value + "'";
        } else {
            return "unknown argument '" + name + "' (see --help)";
        }
    }
    if (!options.pngDirectory.empty() && !options.stills.empty()) return "--png and --stills cannot be used together";
    if (!options.continued.empty() && !options.stills.empty()) return "--continue finishes an MP4 or --png capture, not stills";
    if (!options.pngDirectory.empty() && !options.output.empty()) return "--png names the directory; --output is not used with it";
    return "";
}

const char* CaptureUsage() { return kUsage; }

std::string CaptureLogPath(const cCaptureOptions& o) {
    if (!o.pngDirectory.empty()) return o.pngDirectory + "/log.txt";
    if (!o.stills.empty()) return (o.output.empty() ? kDefaultStillsDirectory : o.output) + std::string("/log.txt");
    return (o.output.empty() ? kDefaultVideoFile : o.output) + std::string(".log");
}
