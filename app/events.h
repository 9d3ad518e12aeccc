// Keyboard commands and X event dispatch of the main loop.
#pragma once

#include <X11/Xlib.h>

#include <csignal>

// 1 once Escape, a mouse button, the window manager's close request or a
// SIGINT, SIGTERM or SIGHUP asked the demo to end; the main loop looks at it
// at the top of each pass. Written by a signal handler, hence its type.
extern volatile std::sig_atomic_t gQuit;
// 1 for full screen; F1 flips it.
extern int gFullScreen;

// The window's title and requested size.
extern const char* const kWindowTitle;
constexpr int kWindowWidth = 800;
constexpr int kWindowHeight = 600;

// Acts on a pressed key symbol: Escape quits, F1 toggles full screen.
void HandleKey(KeySym key);
// Acts on one X event.
void DispatchEvent(XEvent& event);
// Handles every pending X event; all queued events are handled even after
// one of them asked to quit.
void DrainEvents();
