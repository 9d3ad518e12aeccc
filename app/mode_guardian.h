// The video-mode guardian: a small process that gives the desktop its video
// mode back when the demo dies while full screen (killed, crashed, aborted),
// where CloseWindow never runs.
//
// It is forked at the very start of main, before any thread or X connection
// exists, and talks to the demo over a socket pair. The demo tells it just
// before it switches the mode (with the mode to go back to), and the
// guardian claims the mode for the demo over its own X connection and
// answers; the demo tells it again just after CloseWindow has restored it.
// When the demo's end of the socket closes, which the kernel does on every
// way the process can end, the guardian switches the mode back if it was
// still switched, over its own X connection, and exits. It prints nothing and holds none of the demo's
// standard streams, so a reader of the demo's output sees its end at once.
// Process lists show it as "vindelkrok-mode".
#pragma once

#include <X11/Xlib.h>
#include <X11/extensions/xf86vmode.h>

// Forks the guardian. Without it (fork refused) the demo runs as before.
void StartModeGuardian();
// Claims the video mode of screen `screen` (app/mode_claim.h) and tells the
// guardian it is about to be switched and which mode to restore. The claim
// is held by the guardian's connection, or by `display` (the demo's) when
// there is no guardian. False, with nothing claimed or told, when another
// demo holds the mode.
bool GuardModeSwitch(Display* display, int screen, const XF86VidModeModeInfo& desktopMode);
// Tells the guardian the desktop mode is back (and has reached the server):
// nothing left to restore, and the claim is given up.
void ReleaseModeGuard();
