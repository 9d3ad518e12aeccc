// Window identity: ICCCM class and machine, EWMH process id and icon.
//
// Depends on Xlib only. The icon's pixels are compiled in (app/window_icon.h).
#include "app/window_identity.h"

#include "app/window_icon.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <unistd.h>

namespace {

// The host name as WM_CLIENT_MACHINE wants it (_NET_WM_PID is only
// meaningful together with it).
void SetClientMachine(Display* display, Window window) {
    char host[256] = {};
    if (gethostname(host, sizeof host - 1) != 0 || !host[0]) return;
    char* list[] = {host};
    XTextProperty machine;
    if (!XStringListToTextProperty(list, 1, &machine)) return;
    XSetWMClientMachine(display, window, &machine);
    XFree(machine.value);
}

// Sets a 32-bit CARDINAL property; Xlib takes format-32 data as longs.
void SetCardinals(Display* display, Window window, const char* name, const unsigned long* values, int count) {
    XChangeProperty(display, window, XInternAtom(display, name, False), XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(values), count);
}

}  // namespace

// Tell desktops what the window is
void SetWindowIdentity(Display* display, Window window) {
    XClassHint hint;
    hint.res_name = const_cast<char*>(kWindowInstance);
    hint.res_class = const_cast<char*>(kWindowClass);
    XSetClassHint(display, window, &hint);
    SetClientMachine(display, window);
    const unsigned long pid = static_cast<unsigned long>(getpid());
    SetCardinals(display, window, "_NET_WM_PID", &pid, 1);
    SetCardinals(display, window, "_NET_WM_ICON", kWindowIcon, int(kWindowIconLength));
}
