// Xwayland detection and the window manager's full-screen state.
#include "app/xwayland.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xrandr.h>

#include <cstring>

namespace {

// Xwayland names its outputs XWAYLAND0, XWAYLAND1, ...
constexpr char kOutputPrefix[] = "XWAYLAND";

bool HasXwaylandOutput(Display* display) {
    int eventBase = 0, errorBase = 0;
    if (!XRRQueryExtension(display, &eventBase, &errorBase)) return false;
    XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display, DefaultRootWindow(display));
    if (!resources) return false;
    bool found = false;
    for (int i = 0; i < resources->noutput && !found; ++i) {
        XRROutputInfo* output = XRRGetOutputInfo(display, resources, resources->outputs[i]);
        if (!output) continue;
        found = output->name && strncmp(output->name, kOutputPrefix, sizeof kOutputPrefix - 1) == 0;
        XRRFreeOutputInfo(output);
    }
    XRRFreeScreenResources(resources);
    return found;
}

}  // namespace

// Tell whether the X server is Xwayland
bool IsXwayland(Display* display) {
    int opcode = 0, eventBase = 0, errorBase = 0;
    if (XQueryExtension(display, "XWAYLAND", &opcode, &eventBase, &errorBase)) return true;
    return HasXwaylandOutput(display);
}

// Ask for the full-screen state of a mapped window
void RepeatFullScreenRequest(Display* display, Window window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "_NET_WM_STATE", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = 1;  // _NET_WM_STATE_ADD
    event.xclient.data.l[1] = long(XInternAtom(display, "_NET_WM_STATE_FULLSCREEN", False));
    event.xclient.data.l[3] = 1;  // from an application
    XSendEvent(display, DefaultRootWindow(display), False, SubstructureRedirectMask | SubstructureNotifyMask,
               &event);
}

// Ask for the full-screen state and the focus before mapping
void RequestFullScreen(Display* display, Window window) {
    Atom fullScreen = XInternAtom(display, "_NET_WM_STATE_FULLSCREEN", False);
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_STATE", False), XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&fullScreen), 1);
    // A window that says it takes input gets the compositor's keyboard when
    // focused; other hints already set are kept.
    XWMHints* existing = XGetWMHints(display, window);
    XWMHints hints{};
    if (existing) {
        hints = *existing;
        XFree(existing);
    }
    hints.flags |= InputHint;
    hints.input = True;
    XSetWMHints(display, window, &hints);
}
