// The demo's X window with its GLX context, full screen or managed.
//
// Full screen switches the video mode through XF86VidMode (when the server
// has it), bypasses the window manager and grabs keyboard and pointer; the
// managed window accepts the window manager's close request. Every opening
// makes a new display connection, window and unshared context.
#pragma once

#include <X11/Xlib.h>
#include <X11/extensions/xf86vmode.h>
#include <GL/glx.h>

// The one process-wide window record.
struct cDisplayWindow {
    Display* display;
    int screen;
    Window window;
    GLXContext context;                // null when no context is held
    XSetWindowAttributes attributes;   // kept between openings
    int fullScreen;                    // 0 or 1, as last passed to OpenWindow
    XF86VidModeModeInfo desktopMode;   // the mode in use when the window opened
    int x, y;                          // as XGetGeometry reports them
    unsigned int width, height;        // updated on ConfigureNotify
    unsigned int depth;
    int modeSwitched;                  // 1 while the video mode is switched
};

extern cDisplayWindow DisplayWindow;

// Opens display, window and context, makes the context current and sets the
// fixed GL state. 1 on success; 0, after one line naming what is missing and
// releasing what was made, when there is no display, visual or context; -1,
// silently and with everything released, when full screen would switch a
// video mode that another demo holds (app/mode_claim.h).
int OpenWindow(const char* title, int width, int height, int fullScreen);
// Releases and destroys the context, restores the desktop mode if it was
// switched and closes the display connection. Does nothing when closed.
void CloseWindow();
// Shows the frame drawn: swaps the buffers of the drawable whose context is
// current (the window's); nothing while no context is current (a window
// that failed to re-open). DrawFrame's presenter in the demo.
void SwapWindowBuffers();
// True while a GLX context is current: how the image code asks, in the demo.
bool WindowContextCurrent();
