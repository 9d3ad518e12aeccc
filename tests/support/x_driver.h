// A second X client that drives the demo with real X events (XTest key and
// button presses, the window manager's close request, resizes) and looks at
// its window and at the server's video mode.
#pragma once

#include <X11/Xlib.h>

#include <cstdint>
#include <string>
#include <vector>

namespace e2e {

struct cWindowInfo {
    Window id = 0;
    int width = 0, height = 0;
    bool overrideRedirect = false;
};

// What a window tells desktops about itself.
struct cWindowIdentity {
    std::string instance, windowClass;  // WM_CLASS
    long pid = -1;                      // _NET_WM_PID
    std::vector<unsigned long> icon;    // _NET_WM_ICON
};

class cXDriver {
public:
    // Connects to the display named by DISPLAY and starts watching for
    // windows being mapped (before the demo starts, to see its first one).
    cXDriver();
    ~cXDriver();
    cXDriver(const cXDriver&) = delete;
    cXDriver& operator=(const cXDriver&) = delete;

    bool ok() const { return display != nullptr; }
    // Waits for the next top-level window to be mapped since the last call;
    // id 0 on timeout. (A re-opened window may reuse the old one's id: the
    // new connection gets the ids the old one freed.)
    cWindowInfo WaitForMappedWindow(double timeout);
    // Presses and releases a key, as a keyboard would, on the focus window.
    void Key(KeySym key, Window focus = 0);
    // Presses and releases a mouse button over the window.
    void Click(Window window, unsigned button);
    // Sends the window manager's close request (WM_PROTOCOLS, WM_DELETE_WINDOW).
    void RequestClose(Window window);
    void Resize(Window window, unsigned width, unsigned height);
    void Move(Window window, int x, int y);
    // The colour of one pixel of the window as 0xRRGGBB (24-bit visuals).
    unsigned long PixelAt(Window window, int x, int y);
    // The whole window's picture, R, G, B rows top-down; empty when it
    // cannot be read.
    std::vector<uint8_t> Grab(Window window, int width, int height);
    // The window's class, process and icon properties.
    cWindowIdentity Identity(Window window);
    // Whether the server has the named extension.
    bool HasExtension(const char* name);
    // Whether the server has XF86VidMode, and the size of the mode in use.
    bool HasVidMode();
    bool CurrentModeSize(int& width, int& height);
    // Switches the server to its first mode of the given size.
    bool SwitchMode(int width, int height);

private:
    Display* display = nullptr;
};

}  // namespace e2e
