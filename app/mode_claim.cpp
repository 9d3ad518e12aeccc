// The video-mode claim: an X selection per screen.
//
// Depends on Xlib only. Taking a selection never fails in X (the new owner
// simply replaces the old), so the look at the owner and the take are made
// under a server grab: two demos starting together cannot both find it free.
#include "app/mode_claim.h"

#include <string>

namespace {

// The selection's name; the screen number makes it one per screen.
std::string ClaimName(int screen) { return "_VINDELKROK_VIDEO_MODE_S" + std::to_string(screen); }

}  // namespace

// Claim the screen's video mode
bool ClaimVideoMode(Display* display, int screen) {
    const Atom selection = XInternAtom(display, ClaimName(screen).c_str(), False);
    XGrabServer(display);
    const Window owner = XGetSelectionOwner(display, selection);
    bool claimed = false;
    if (owner == None) {
        // An unmapped input-only window: it draws nothing and goes with the
        // connection.
        const Window holder = XCreateWindow(display, RootWindow(display, screen), -1, -1, 1, 1, 0, 0, InputOnly,
                                            CopyFromParent, 0, nullptr);
        XSetSelectionOwner(display, selection, holder, CurrentTime);
        claimed = XGetSelectionOwner(display, selection) == holder;
    }
    XUngrabServer(display);
    XSync(display, False);
    return claimed;
}
