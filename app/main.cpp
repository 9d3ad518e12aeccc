// Entry point of the demo: start-up, the main loop and shut-down.
//
// Start-up opens the window before the sound library is touched, then checks
// and starts the library, loads the module, prepares the effects, installs
// the beat callback, pauses a second and starts the song. Each pass of the
// main loop handles the pending X events, draws a frame and advances the song
// time. Every way out of start-up or the loop closes the window first, so a
// switched video mode never outlives the demo; the mode guardian covers the
// ways out that run no code of the demo (kills, crashes).
#include "app/beat.h"
#include "app/display_window.h"
#include "app/events.h"
#include "app/frame_clock.h"
#include "app/mode_guardian.h"
#include "app/music.h"
#include "app/quit_signals.h"
#include "sound/sound.h"
#include "timeline/draw_frame.h"
#include "timeline/scene_effects.h"

#include <GL/gl.h>
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
        printf("%s\n", SoundErrorText(unsigned(FSOUND_GetError())));
        FailStartup();
    }
    gSong = FMUSIC_LoadSong(kSongFile);
    if (!gSong) {
        printf("%s\n", SoundErrorText(unsigned(FSOUND_GetError())));
        FailStartup();
    }
}

// Runs passes until the quit flag is set at the top of one.
void RunMainLoop(cFrameClock& clock) {
    while (!gQuit) {
        DrainEvents();
        if (DisplayWindow.display) DrawFrame();
        CountFrame(clock, WallClock(), std::cout);
    }
}

}  // namespace

// Run the demo
int main() {
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
    gQuit = 0;
    gFullScreen = 1;
    if (!OpenWindow(kWindowTitle, kWindowWidth, kWindowHeight, gFullScreen)) FailStartup();

    StartSoundLibrary();
    PrepareEffects();
    for (int instrument : kBeatInstruments) FMUSIC_SetInstCallback(gSong, OnBeatInstrument, instrument);
    sleep(1);
    FMUSIC_PlaySong(gSong);
    cFrameClock clock;
    StartClock(clock, WallClock());
    glClearColor(0, 0, 0, 0);

    RunMainLoop(clock);

    CloseWindow();
    std::cout << "stopping song" << std::endl;
    FMUSIC_StopSong(gSong);
    std::cout << "freeing song" << std::endl;
    sleep(2);
    FMUSIC_FreeSong(gSong);
    std::cout << "closing fmod" << std::endl;
    return 0;
}
