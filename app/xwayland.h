// Full screen on Wayland desktops, whose X server is Xwayland.
//
// Xwayland's video modes only pretend (the compositor scales the window to
// the output, other clients still see the output's size), and its pointer
// warp can crash it when the compositor has no input seat. There, full
// screen is what the compositor's window manager gives a managed window that
// asks for it: the output's size, the compositor's keyboard and pointer.
#pragma once

#include <X11/Xlib.h>

// True when the display is served by Xwayland: it has the XWAYLAND
// extension (Xwayland 23.1 on) or, on older ones, its RandR outputs are
// named XWAYLAND<n>.
bool IsXwayland(Display* display);
// Asks the window manager to show a window full screen (the EWMH state
// _NET_WM_STATE_FULLSCREEN) and to give it the keyboard focus; call before
// the window is mapped.
void RequestFullScreen(Display* display, Window window);
// Asks again once the window is mapped, as a message to the window manager:
// one that sets up a new window's state while the first request is on its
// way (wlroots') may overwrite the property with its own state.
void RepeatFullScreenRequest(Display* display, Window window);
