// What desktops learn about the demo's window: its class (which matches the
// desktop entry's StartupWMClass), its process and host, and its icon, so a
// dock or task bar shows the demo's own icon and ties the window to the
// installed launcher.
#pragma once

#include <X11/Xlib.h>

// The class the window carries: instance and class name of WM_CLASS.
inline constexpr const char* kWindowInstance = "vindelkrok";
inline constexpr const char* kWindowClass = "Vindelkrok";

// Sets WM_CLASS, WM_CLIENT_MACHINE, _NET_WM_PID and _NET_WM_ICON on window.
void SetWindowIdentity(Display* display, Window window);
