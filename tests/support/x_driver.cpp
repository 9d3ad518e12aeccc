// Driving the demo's window from another X client.
#include "tests/support/x_driver.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/xf86vmode.h>
#include <unistd.h>

#include <ctime>

namespace e2e {

namespace {
double Now() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}
}  // namespace

cXDriver::cXDriver() {
    display = XOpenDisplay(nullptr);
    if (!display) return;
    // The demo's windows come and go; asking about one that just went is not
    // an error worth ending the test for.
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);
}

cXDriver::~cXDriver() {
    if (display) XCloseDisplay(display);
}

cWindowInfo cXDriver::WaitForMappedWindow(double timeout) {
    const double until = Now() + timeout;
    while (Now() < until) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type != MapNotify) continue;
            XWindowAttributes a;
            if (!XGetWindowAttributes(display, event.xmap.window, &a) || a.c_class != InputOutput) continue;
            return {event.xmap.window, a.width, a.height, a.override_redirect != 0};
        }
        usleep(10000);
    }
    return {};
}

void cXDriver::Key(KeySym key, Window focus) {
    // Without a window manager nothing gives a managed window the focus.
    if (focus) XSetInputFocus(display, focus, RevertToPointerRoot, CurrentTime);
    const KeyCode code = XKeysymToKeycode(display, key);
    XTestFakeKeyEvent(display, code, True, CurrentTime);
    XTestFakeKeyEvent(display, code, False, CurrentTime);
    XSync(display, False);
}

void cXDriver::Click(Window window, unsigned button) {
    XWindowAttributes a;
    XGetWindowAttributes(display, window, &a);
    XTestFakeMotionEvent(display, DefaultScreen(display), a.x + a.width / 2, a.y + a.height / 2, CurrentTime);
    XTestFakeButtonEvent(display, button, True, CurrentTime);
    XTestFakeButtonEvent(display, button, False, CurrentTime);
    XSync(display, False);
}

void cXDriver::RequestClose(Window window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
}

void cXDriver::Resize(Window window, unsigned width, unsigned height) {
    XResizeWindow(display, window, width, height);
    XSync(display, False);
}

void cXDriver::Move(Window window, int x, int y) {
    XMoveWindow(display, window, x, y);
    XSync(display, False);
}

unsigned long cXDriver::PixelAt(Window window, int x, int y) {
    XImage* image = XGetImage(display, window, x, y, 1, 1, AllPlanes, ZPixmap);
    if (!image) return ~0ul;
    const unsigned long pixel = XGetPixel(image, 0, 0) & 0xFFFFFFul;
    XDestroyImage(image);
    return pixel;
}

std::vector<uint8_t> cXDriver::Grab(Window window, int width, int height) {
    std::vector<uint8_t> rgb;
    XImage* image = XGetImage(display, window, 0, 0, unsigned(width), unsigned(height), AllPlanes, ZPixmap);
    if (!image) return rgb;
    rgb.reserve(size_t(width) * height * 3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const unsigned long pixel = XGetPixel(image, x, y);
            rgb.insert(rgb.end(), {uint8_t(pixel >> 16), uint8_t(pixel >> 8), uint8_t(pixel)});
        }
    XDestroyImage(image);
    return rgb;
}

bool cXDriver::HasExtension(const char* name) {
    int opcode, event, error;
    return XQueryExtension(display, name, &opcode, &event, &error);
}

cWindowIdentity cXDriver::Identity(Window window) {
    cWindowIdentity identity;
    XClassHint hint{};
    if (XGetClassHint(display, window, &hint)) {
        identity.instance = hint.res_name;
        identity.windowClass = hint.res_class;
        XFree(hint.res_name);
        XFree(hint.res_class);
    }
    for (const char* name : {"_NET_WM_PID", "_NET_WM_ICON"}) {
        Atom type = None;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, 1 << 20, False, XA_CARDINAL, &type,
                           &format, &count, &after, &data);
        // Xlib hands 32-bit items over as longs, sign-extended.
        std::vector<unsigned long> values;
        for (unsigned long i = 0; data && format == 32 && i < count; ++i)
            values.push_back(reinterpret_cast<const unsigned long*>(data)[i] & 0xFFFFFFFFul);
        if (data) XFree(data);
        if (name[8] == 'P' && values.size() == 1) identity.pid = long(values[0]);
        if (name[8] == 'I') identity.icon = values;
    }
    return identity;
}

bool cXDriver::HasVidMode() {
    int eventBase, errorBase;
    return XF86VidModeQueryExtension(display, &eventBase, &errorBase);
}

bool cXDriver::CurrentModeSize(int& width, int& height) {
    int dotclock = 0;
    XF86VidModeModeLine line{};
    if (!XF86VidModeGetModeLine(display, DefaultScreen(display), &dotclock, &line)) return false;
    if (line.c_private) XFree(line.c_private);
    width = line.hdisplay;
    height = line.vdisplay;
    return true;
}

bool cXDriver::SwitchMode(int width, int height) {
    int count = 0;
    XF86VidModeModeInfo** modes = nullptr;
    if (!XF86VidModeGetAllModeLines(display, DefaultScreen(display), &count, &modes)) return false;
    bool switched = false;
    for (int i = 0; i < count && !switched; ++i) {
        if (modes[i]->hdisplay == width && modes[i]->vdisplay == height)
            switched = XF86VidModeSwitchToMode(display, DefaultScreen(display), modes[i]);
    }
    XFree(modes);
    XSync(display, False);
    return switched;
}

}  // namespace e2e
