// HandleKey and the X event dispatch.
//
// F1 closes the window and opens a new one in the other mode. The new GL
// context shares nothing with the old one, so everything start-up made in
// the old context is made again (RestoreDemoGl).
#include "app/events.h"

#include "app/display_window.h"
#include "app/song_control.h"
#include "core/demo_core.h"
#include "core/gl_view.h"
#include "timeline/draw_frame.h"

#include <X11/keysym.h>
#include <poll.h>

#include <cstdio>

int gFullScreen = 1;
const char* const kWindowTitle = "Vindelkrok designdemo";
const char* const kVideoModeHeldMessage = "another demo runs full screen on this display and holds its video mode";

namespace {

// Closes the window and opens it again in the other mode.
void ToggleFullScreen() {
    CloseWindow();
    gFullScreen = !gFullScreen;
    int opened = OpenWindow(kWindowTitle, kWindowWidth, kWindowHeight, gFullScreen);
    if (opened < 0) {
        // Another demo switched the mode meanwhile: back into a window.
        std::fflush(stdout);
        std::fprintf(stderr, "vindelkrok: %s; staying in a window\n", kVideoModeHeldMessage);
        gFullScreen = 0;
        opened = OpenWindow(kWindowTitle, kWindowWidth, kWindowHeight, gFullScreen);
    }
    if (!opened) {
        // No window to draw into any more: end the demo in order.
        gQuit = 1;
        return;
    }
    RestoreDemoGl();
}

// A new window size: remember it and fit the projection to it.
void HandleConfigure(const XConfigureEvent& event) {
    const unsigned int width = unsigned(event.width), height = unsigned(event.height);
    if (width == DisplayWindow.width && height == DisplayWindow.height) return;
    DisplayWindow.width = width;
    DisplayWindow.height = height;
    printf("Resize event\n");
    ResizeView(width, height);
}

// The window manager's close request arrives as a WM_PROTOCOLS message.
void HandleClientMessage(const XClientMessageEvent& event) {
    char* name = XGetAtomName(DisplayWindow.display, event.message_type);
    if (name && name[0] == 'W') {
        printf("Exiting sanely...\n");
        gQuit = 1;
    }
    if (name) XFree(name);
}

}  // namespace

// Act on a pressed key
void HandleKey(KeySym key) {
    switch (key) {
        case XK_Escape: gQuit = 1; break;
        case XK_F1: ToggleFullScreen(); break;
        default: HandleSongKey(key); break;
    }
}

// Act on one X event
void DispatchEvent(XEvent& event) {
    switch (event.type) {
        case KeyPress: HandleKey(XLookupKeysym(&event.xkey, 0)); break;
        case ButtonPress: gQuit = 1; break;
        case Expose:
            // Redraw once the last of a series of exposures arrives, with the
            // song time as it is; the frame counter does not count it.
            if (event.xexpose.count == 0) DrawFrame();
            break;
        case ConfigureNotify: HandleConfigure(event.xconfigure); break;
        case ClientMessage: HandleClientMessage(event.xclient); break;
        default: break;
    }
}

// Wait for X events
void WaitForEvents(int milliseconds) {
    if (!DisplayWindow.display) return;
    XFlush(DisplayWindow.display);
    pollfd connection{ConnectionNumber(DisplayWindow.display), POLLIN, 0};
    poll(&connection, 1, milliseconds);  // a signal ends it early, as it should
}

// Handle every pending event
void DrainEvents() {
    // F1 replaces the connection, so it is looked up again for every event;
    // it is null after a re-opening that failed.
    while (DisplayWindow.display && XPending(DisplayWindow.display) > 0) {
        XEvent event;
        XNextEvent(DisplayWindow.display, &event);
        DispatchEvent(event);
    }
}
