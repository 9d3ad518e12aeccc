// Entry point of vindelkrok-capture: reads the options, runs the capture.
//
// Standard output shows only the program's own lines; the demo's log, from
// the static objects' first lines to their last, goes to a file beside the
// output.
#include "capture/capture.h"
#include "capture/capture_options.h"
#include "core/console.h"
#include "core/data_dir.h"
#include "core/quit_signals.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace {

// The static objects log before main runs: standard output is held from
// before they are made until the log file is known.
// It also opens any closed descriptor 0 to 2 on /dev/null, so that no file
// the program opens later is mistaken for a standard stream (by ffmpeg as
// its input).
[[gnu::constructor(101)]] void HoldOutputFromTheStart() { HoldStandardOutput(); }

// When Data/ is read from the installed data directory, the working
// directory changes: the outputs are named from where the program started.
void AnchorOutputs(cCaptureOptions& o) {
    std::error_code error;
    if (std::filesystem::is_directory("Data", error)) return;
    const bool video = o.pngDirectory.empty() && o.stills.empty();
    if (o.output.empty() && o.pngDirectory.empty()) o.output = video ? kDefaultVideoFile : kDefaultStillsDirectory;
    if (!o.output.empty()) o.output = std::filesystem::absolute(o.output, error).string();
    if (!o.pngDirectory.empty()) o.pngDirectory = std::filesystem::absolute(o.pngDirectory, error).string();
    if (!o.continued.empty()) o.continued = std::filesystem::absolute(o.continued, error).string();
}

// Sends the demo's log to its file beside the output (making the output's
// directory where it goes into one); without it the log is dropped.
void MoveLog(const cCaptureOptions& o) {
    const std::filesystem::path log = CaptureLogPath(o);
    std::error_code ignored;
    if (log.has_parent_path()) std::filesystem::create_directories(log.parent_path(), ignored);
    std::string error;
    if (MoveStandardOutputTo(log.string(), error)) return;
    std::fprintf(stderr, "vindelkrok-capture: %s; the demo's log is dropped\n", error.c_str());
    DiscardStandardOutput();
}

}  // namespace

// Capture the demo
int main(int argc, char** argv) {
    cCaptureOptions options;
    const std::string error = ParseCaptureOptions(argc, argv, options);
    if (!error.empty() || options.help) {
        DiscardStandardOutput();
        if (!error.empty()) {
            std::fprintf(stderr, "vindelkrok-capture: %s\n", error.c_str());
            return 2;
        }
        std::fputs(CaptureUsage(), Console());
        return 0;
    }
    AnchorOutputs(options);
    MoveLog(options);
    EnterDataDirectory("vindelkrok-capture");
    // SIGINT, SIGTERM and SIGHUP stop the frames; what was written is closed in order.
    InstallQuitSignals();
    return RunCapture(options);
}
