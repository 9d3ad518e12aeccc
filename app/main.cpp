// Entry point of the demo: start-up, the main loop and shut-down.
//
// Start-up opens the window before the sound library is touched, then checks
// and starts the library, loads the module, starts the demo core (effects,
// beat callbacks, the buffer swap as presenter), catches up on a later start
// (--start), pauses a second and starts the song. Each pass of the main loop handles the pending X events, draws a
// frame and advances the song time. Every way out of start-up or the loop
// closes the window first, so a switched video mode never outlives the demo;
// the mode guardian covers the ways out that run no code of the demo (kills,
// crashes).
#include "app/display_window.h"
#include "app/events.h"
#include "app/frame_clock.h"
#include "app/mode_guardian.h"
#include "app/options.h"
#include "app/song_control.h"
#include "base/beat.h"
#include "base/context_query.h"
#include "core/console.h"
#include "core/data_dir.h"
#include "core/demo_core.h"
#include "core/music.h"
#include "core/quit_signals.h"
#include "sound/sound.h"
#include "timeline/draw_frame.h"

#include <malloc.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>

namespace {

// The oldest sound-library version the demo runs with.
constexpr float kRequiredVersion = 3.6f;
// Output mixing rate, software channels and initialisation flags.
constexpr int kMixRate = 22050;
constexpr int kSoftwareChannels = 16;
constexpr unsigned int kInitFlags = 2;

// Ends start-up after its message: restore the desktop, then status 1.
[[noreturn]] void FailStartup() {
    CloseWindow();
    exit(1);
}

// Checks the library's version, initialises it and loads the module.
void StartSoundLibrary() {
    if (FSOUND_GetVersion() < kRequiredVersion) {
        printf("Error : You are using the wrong DLL version!  You should be using FMOD %.02f\n",
               double(kRequiredVersion));
        FailStartup();
    }
    if (!FSOUND_Init(kMixRate, kSoftwareChannels, kInitFlags)) {
        const int error = FSOUND_GetError();
        printf("%s\n", SoundErrorText(unsigned(error)));
        if (error == SOUND_ERR_INIT) printf("No sound output could be opened: vindelkrok --silent runs without one\n");
        FailStartup();
    }
    gSong = FMUSIC_LoadSong(kSongFile);
    if (!gSong) {
        printf("%s\n", SoundErrorText(unsigned(FSOUND_GetError())));
        FailStartup();
    }
}

// How long a paused main loop sleeps at most between looks at the quit flag.
constexpr int kPausedWaitMs = 100;

// Runs passes until the quit flag is set at the top of one; while the song
// is paused they draw and count nothing.
void RunMainLoop(cFrameClock& clock) {
    while (!gQuit) {
        DrainEvents();
        if (SongPaused()) {
            WaitForEvents(kPausedWaitMs);
            continue;
        }
        if (DisplayWindow.display) DrawFrame();
        CountFrame(clock, WallClock(), std::cout);
    }
}

// Reads the command line; returns the exit status when the demo is not to
// run (help, version, a wrong argument), otherwise -1.
int HandleOptions(int argc, char** argv, cDemoOptions& options) {
    const std::string error = ParseDemoOptions(argc, argv, options);
    if (error.empty() && !options.help && !options.version) {
        ReleaseStandardOutput();  // the log, from the first registration line on
        return -1;
    }
    // No log at all then, not even the images' goodbye lines.
    DiscardStandardOutput();
    if (!error.empty()) {
        std::fprintf(stderr, "vindelkrok: %s\n%s", error.c_str(), DemoUsage());
        return 2;
    }
    if (options.help)
        std::fputs(DemoUsage(), Console());
    else
        std::fprintf(Console(), "%s\n", DemoVersion().c_str());
    return 0;
}

// The static objects log before main runs: standard output is held from
// before they are made until the command line is read.
[[gnu::constructor(101)]] void HoldOutputFromTheStart() { HoldStandardOutput(); }

}  // namespace

// Run the demo
int main(int argc, char** argv) {
    cDemoOptions options;
    const int status = HandleOptions(argc, argv, options);
    if (status >= 0) return status;
    // Mesa's software renderer allocates and frees large blocks on every
    // draw; with glibc's default thresholds they go back to the system and
    // fault in again each frame, which halves the frame rate of the busier
    // scenes. Keep them in the heap instead.
    mallopt(M_MMAP_THRESHOLD, 64 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
    // Before any thread or X connection exists: gives the desktop its mode
    // back should the demo die full screen.
    StartModeGuardian();
    InstallQuitSignals();
    SetContextQuery(WindowContextCurrent);
    EnterDataDirectory("vindelkrok");  // the working directory's Data/, else the installed one
    if (options.silent) FSOUND_SetOutput(SOUND_OUTPUT_SILENT);
    gQuit = 0;
    gFullScreen = options.windowed ? 0 : 1;
    const int opened = OpenWindow(kWindowTitle, kWindowWidth, kWindowHeight, gFullScreen);
    if (opened < 0) {
        // Nothing switched, no window made: the other demo keeps its screen.
        // The log so far goes out first, so the two never mix mid-line.
        std::fflush(stdout);
        std::fprintf(stderr, "vindelkrok: %s; not starting (vindelkrok --windowed runs beside it)\n",
                     kVideoModeHeldMessage);
        return 1;
    }
    if (opened == 0) FailStartup();

    StartSoundLibrary();
    StartDemo(gSong, SwapWindowBuffers);
    cFrameClock clock;
    PrepareSong(kSongFile, kMixRate, clock, options.start);
    sleep(1);
    StartSong();

    RunMainLoop(clock);

    CloseWindow();
    std::cout << "stopping song" << std::endl;
    FMUSIC_StopSong(gSong);
    std::cout << "freeing song" << std::endl;
    sleep(2);
    FMUSIC_FreeSong(gSong);
    EndDemo();
    std::cout << "closing fmod" << std::endl;
    return 0;
}
