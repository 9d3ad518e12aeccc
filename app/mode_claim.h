// Which demo may switch a screen's video mode: one at a time.
//
// The claim is an X selection per screen, owned by a small window of the
// connection that holds the switched mode (the mode guardian's, or the
// demo's own when there is no guardian). The server drops a selection when
// its owner's connection closes, so a demo that crashes or is killed never
// leaves a stale claim; a guardian that restores the mode closes its
// connection only after the restore has reached the server.
#pragma once

#include <X11/Xlib.h>

// Claims the video mode of `screen` for this connection: true when it was
// free, false when a connection holds it (call once per connection).
bool ClaimVideoMode(Display* display, int screen);
