// OpenWindow and CloseWindow: display connection, video mode, window, context.
//
// Depends on Xlib, GLX and the XF86VidMode client library. The log's lines go
// to standard output with printf, the Xwayland notice to standard error. Where the server lacks XF86VidMode (Xvfb,
// some remote servers), full screen is an override-redirect window of the
// screen's size and the video mode is left alone. On Xwayland (a Wayland
// desktop) full screen is a managed window that asks the compositor for full
// screen, with neither a mode switch nor grabs nor a pointer warp.
#include "app/display_window.h"

#include "app/mode_guardian.h"
#include "app/video_mode.h"
#include "app/window_identity.h"
#include "app/xwayland.h"
#include "core/gl_view.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

cDisplayWindow DisplayWindow;

namespace {

// RGBA with at least 4 bits a channel and a 16-bit depth buffer; neither
// asks for destination alpha, so the beat flash's GL_DST_ALPHA reads as 1.
int gDoubleBuffered[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 4, GLX_GREEN_SIZE, 4,
                         GLX_BLUE_SIZE, 4, GLX_DEPTH_SIZE, 16, None};
int gSingleBuffered[] = {GLX_RGBA, GLX_RED_SIZE, 4, GLX_GREEN_SIZE, 4, GLX_BLUE_SIZE, 4,
                         GLX_DEPTH_SIZE, 16, None};

// Keys, mouse buttons, exposure and size changes (0x28005).
constexpr long kEventMask = KeyPressMask | ButtonPressMask | ExposureMask | StructureNotifyMask;
constexpr unsigned long kFullScreenMask = CWBorderPixel | CWColormap | CWEventMask | CWOverrideRedirect;
constexpr unsigned long kWindowedMask = CWBorderPixel | CWColormap | CWEventMask;

// The server's video modes, as far as this opening may switch them.
struct cModes {
    XF86VidModeModeInfo** list = nullptr;
    int count = 0;
    bool usable = false;  // extension present and the mode in use known
};

// How often, and how far apart, a named display is tried before giving up.
constexpr int kConnectAttempts = 20;
constexpr useconds_t kConnectPause = 50000;

// Connects to the display named by DISPLAY. A server whose last client has
// just left (F1 on a server that runs nothing but the demo) resets and
// refuses connections for a moment, so a named display is tried for a second.
Display* ConnectDisplay() {
    Display* display = XOpenDisplay(nullptr);
    const char* name = getenv("DISPLAY");
    for (int i = 1; !display && name && *name && i < kConnectAttempts; ++i) {
        usleep(kConnectPause);
        display = XOpenDisplay(nullptr);
    }
    return display;
}

// Asks the server for its modes and keeps the mode in use as the desktop mode.
// Xwayland's modes only pretend, so they are not used there.
cModes QueryModes(Display* display, int screen, bool xwayland) {
    cModes modes;
    int eventBase = 0, errorBase = 0;
    if (!XF86VidModeQueryExtension(display, &eventBase, &errorBase)) {
        printf("No XF86VidMode extension: full screen keeps the desktop resolution\n");
        return modes;
    }
    int major = 0, minor = 0;
    XF86VidModeQueryVersion(display, &major, &minor);
    printf("XF86VidModeExtension-Version %d.%d\n", major, minor);
    if (xwayland) {
        // Not part of the log: the log so far goes out first.
        fflush(stdout);
        fprintf(stderr, "vindelkrok: Xwayland's XF86VidMode only pretends: full screen keeps the desktop "
                        "resolution\n");
        return modes;
    }
    if (!XF86VidModeGetAllModeLines(display, screen, &modes.count, &modes.list)) modes.count = 0;
    modes.usable = modes.count > 0 && GetCurrentMode(display, screen, &DisplayWindow.desktopMode);
    if (!modes.usable) printf("XF86VidMode reports no usable mode: full screen keeps the desktop resolution\n");
    return modes;
}

// Forgets a half-made opening: the connection goes with everything made on it.
int AbandonOpening(cModes& modes) {
    if (modes.list) XFree(modes.list);
    XCloseDisplay(DisplayWindow.display);
    DisplayWindow.display = nullptr;
    DisplayWindow.context = nullptr;
    return 0;
}

// Full screen: switch the mode if possible, then an override-redirect window
// over the whole screen that holds keyboard and pointer. False, with nothing
// switched or made, when another demo holds the screen's video mode.
bool CreateFullScreenWindow(const cModes& modes, XVisualInfo* visual, int width, int height) {
    Display* display = DisplayWindow.display;
    unsigned int w = unsigned(DisplayWidth(display, visual->screen));
    unsigned int h = unsigned(DisplayHeight(display, visual->screen));
    if (modes.usable) {
        // Without a mode of the requested size the desktop mode stays.
        const int chosen = ChooseMode(modes.list, modes.count, width, height);
        XF86VidModeModeInfo* mode = chosen >= 0 ? modes.list[chosen] : &DisplayWindow.desktopMode;
        // Claimed and told first, so a demo killed right after the switch
        // is covered.
        if (!GuardModeSwitch(display, DisplayWindow.screen, DisplayWindow.desktopMode)) return false;
        // The mode read at opening may have been another demo's, restored
        // since: the one in use now, under the claim, is the one to go back
        // to, and the guardian is told it again.
        if (GetCurrentMode(display, DisplayWindow.screen, &DisplayWindow.desktopMode))
            GuardModeSwitch(display, DisplayWindow.screen, DisplayWindow.desktopMode);
        XF86VidModeSwitchToMode(display, DisplayWindow.screen, mode);
        XF86VidModeSetViewPort(display, DisplayWindow.screen, 0, 0);
        DisplayWindow.modeSwitched = 1;
        w = mode->hdisplay;
        h = mode->vdisplay;
    }
    printf("Resolution %dx%d\n", int(w), int(h));

    XSetWindowAttributes& attributes = DisplayWindow.attributes;
    attributes.override_redirect = True;
    attributes.event_mask = kEventMask;
    const Window root = RootWindow(display, visual->screen);
    DisplayWindow.window = XCreateWindow(display, root, 0, 0, w, h, 0, visual->depth, InputOutput,
                                         visual->visual, kFullScreenMask, &attributes);
    SetWindowIdentity(display, DisplayWindow.window);
    XWarpPointer(display, None, DisplayWindow.window, 0, 0, 0, 0, 0, 0);
    XMapRaised(display, DisplayWindow.window);
    XGrabKeyboard(display, DisplayWindow.window, True, GrabModeAsync, GrabModeAsync, CurrentTime);
    // Confines the pointer to the window, with the default cursor.
    XGrabPointer(display, DisplayWindow.window, True, ButtonPressMask, GrabModeAsync, GrabModeAsync,
                 DisplayWindow.window, None, CurrentTime);
    return true;
}

// Windowed: a managed window of the requested size that accepts the window
// manager's close request. The override-redirect a full-screen opening left
// in the attributes is not applied: its bit is not in the mask. With
// askFullScreen, the window manager is asked to show it full screen.
void CreateManagedWindow(XVisualInfo* visual, const char* title, int width, int height, bool askFullScreen) {
    Display* display = DisplayWindow.display;
    DisplayWindow.attributes.event_mask = kEventMask;
    const Window root = RootWindow(display, visual->screen);
    DisplayWindow.window = XCreateWindow(display, root, 0, 0, unsigned(width), unsigned(height), 0, visual->depth,
                                         InputOutput, visual->visual, kWindowedMask, &DisplayWindow.attributes);
    Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", True);
    XSetWMProtocols(display, DisplayWindow.window, &deleteWindow, 1);
    XSetStandardProperties(display, DisplayWindow.window, title, title, None, nullptr, 0, nullptr);
    SetWindowIdentity(display, DisplayWindow.window);
    if (askFullScreen) RequestFullScreen(display, DisplayWindow.window);
    XMapRaised(display, DisplayWindow.window);
    if (askFullScreen) RepeatFullScreenRequest(display, DisplayWindow.window);
}

// Full screen on Xwayland: a managed window of the screen's size that the
// compositor shows full screen and gives its keyboard and pointer to.
void CreateXwaylandFullScreenWindow(XVisualInfo* visual, const char* title) {
    const int w = DisplayWidth(DisplayWindow.display, visual->screen);
    const int h = DisplayHeight(DisplayWindow.display, visual->screen);
    printf("Resolution %dx%d\n", w, h);
    CreateManagedWindow(visual, title, w, h, true);
}

}  // namespace

// Open the display, the window and its GL context
int OpenWindow(const char* title, int width, int height, int fullScreen) {
    DisplayWindow.fullScreen = fullScreen;
    DisplayWindow.modeSwitched = 0;
    DisplayWindow.context = nullptr;

    Display* display = ConnectDisplay();
    DisplayWindow.display = display;
    if (!display) {
        const char* name = getenv("DISPLAY");
        if (name && *name)
            printf("Cannot open the X display \"%s\" named by the DISPLAY variable\n", name);
        else
            printf("Cannot open an X display: the DISPLAY variable is not set\n");
        return 0;
    }
    DisplayWindow.screen = DefaultScreen(display);
    const bool xwayland = IsXwayland(display);
    cModes modes = QueryModes(display, DisplayWindow.screen, xwayland);

    XVisualInfo* visual = glXChooseVisual(display, DisplayWindow.screen, gDoubleBuffered);
    if (visual) {
        printf("Got Doublebuffered Visual!\n");
    } else {
        visual = glXChooseVisual(display, DisplayWindow.screen, gSingleBuffered);
        printf("Only Singlebuffered Visual!\n");
    }
    if (!visual) {
        printf("No RGBA visual with a 16-bit depth buffer: the X server offers no suitable GLX visual\n");
        return AbandonOpening(modes);
    }
    int major = 0, minor = 0;
    glXQueryVersion(display, &major, &minor);
    printf("glX-Version %d.%d\n", major, minor);

    // A fresh context, shared with none, direct rendering requested.
    DisplayWindow.context = glXCreateContext(display, visual, nullptr, True);
    if (!DisplayWindow.context) {
        printf("Cannot create a GLX rendering context\n");
        XFree(visual);
        return AbandonOpening(modes);
    }
    const Colormap colormap =
        XCreateColormap(display, RootWindow(display, visual->screen), visual->visual, AllocNone);
    DisplayWindow.attributes.colormap = colormap;
    DisplayWindow.attributes.border_pixel = 0;

    if (fullScreen && xwayland) {
        CreateXwaylandFullScreenWindow(visual, title);
    } else if (!fullScreen) {
        CreateManagedWindow(visual, title, width, height, false);
    } else if (!CreateFullScreenWindow(modes, visual, width, height)) {
        XFree(visual);
        glXDestroyContext(display, DisplayWindow.context);
        AbandonOpening(modes);
        return -1;
    }
    if (modes.list) XFree(modes.list);
    XFree(visual);

    glXMakeCurrent(display, DisplayWindow.window, DisplayWindow.context);
    Window root;
    unsigned int border;
    XGetGeometry(display, DisplayWindow.window, &root, &DisplayWindow.x, &DisplayWindow.y, &DisplayWindow.width,
                 &DisplayWindow.height, &border, &DisplayWindow.depth);
    printf("Depth %d\n", int(DisplayWindow.depth));
    if (glXIsDirect(display, DisplayWindow.context))
        printf("Congrats, you have Direct Rendering!\n");
    else
        printf("Sorry, no Direct Rendering possible!\n");
    SetupGL(DisplayWindow.width, DisplayWindow.height);
    return 1;
}

// Release the context, restore the desktop mode and close the display
void CloseWindow() {
    Display* display = DisplayWindow.display;
    if (!display) return;
    if (DisplayWindow.context) {
        if (!glXMakeCurrent(display, None, nullptr)) printf("Could not release drawing context.\n");
        glXDestroyContext(display, DisplayWindow.context);
        DisplayWindow.context = nullptr;
    }
    if (DisplayWindow.fullScreen && DisplayWindow.modeSwitched) {
        XF86VidModeSwitchToMode(display, DisplayWindow.screen, &DisplayWindow.desktopMode);
        XF86VidModeSetViewPort(display, DisplayWindow.screen, 0, 0);
        // Neither request has a reply: the restore must reach the server
        // before the guardian stops guarding.
        XSync(display, False);
        DisplayWindow.modeSwitched = 0;
        ReleaseModeGuard();
    }
    // The window, its colormap and the grabs go with the connection.
    XCloseDisplay(display);
    DisplayWindow.display = nullptr;
}

// Swap the window's buffers
void SwapWindowBuffers() {
    Display* display = glXGetCurrentDisplay();
    if (display) glXSwapBuffers(display, glXGetCurrentDrawable());
}

// Ask GLX whether a context is current
bool WindowContextCurrent() { return glXGetCurrentContext() != nullptr; }
