// Video-mode helpers over the XF86VidMode extension.
#pragma once

#include <X11/Xlib.h>
#include <X11/extensions/xf86vmode.h>

// Index of the mode of exactly width x height, the last one if several
// match; -1 when none does.
int ChooseMode(XF86VidModeModeInfo* const* modes, int count, int width, int height);
// Copies the mode in use on the screen into mode; false when the server
// cannot tell.
bool GetCurrentMode(Display* display, int screen, XF86VidModeModeInfo* mode);
