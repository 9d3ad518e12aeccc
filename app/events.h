// Keyboard commands and X event dispatch of the main loop.
#pragma once

#include "core/quit_signals.h"

#include <X11/Xlib.h>

// Escape, a mouse button and the window manager's close request set the quit
// flag (core/quit_signals.h); the main loop looks at it at the top of each pass.
// 1 for full screen; F1 flips it.
extern int gFullScreen;

// The window's title and requested size.
extern const char* const kWindowTitle;
// Why full screen is refused while another demo holds the video mode.
extern const char* const kVideoModeHeldMessage;
constexpr int kWindowWidth = 800;
constexpr int kWindowHeight = 600;

// Acts on a pressed key symbol: Escape quits, F1 toggles full screen, and
// Right, Left, Home and Space move through the song (app/song_control.h).
void HandleKey(KeySym key);
// Acts on one X event.
void DispatchEvent(XEvent& event);
// Sleeps until an X event arrives, a signal comes or the time is up.
void WaitForEvents(int milliseconds);
// Handles every pending X event; all queued events are handled even after
// one of them asked to quit.
void DrainEvents();
