// Choosing a video mode and reading the one in use.
//
// The mode in use is read with XF86VidModeGetModeLine: the first entry of
// the mode list is not always it (after a switch, other clients still see
// the server's start-up mode first).
#include "app/video_mode.h"

// Find the last mode of the requested size
int ChooseMode(XF86VidModeModeInfo* const* modes, int count, int width, int height) {
    int chosen = -1;
    for (int i = 0; i < count; ++i) {
        if (modes[i]->hdisplay == width && modes[i]->vdisplay == height) chosen = i;
    }
    return chosen;
}

// Read the mode in use
bool GetCurrentMode(Display* display, int screen, XF86VidModeModeInfo* mode) {
    int dotclock = 0;
    XF86VidModeModeLine line{};
    if (!XF86VidModeGetModeLine(display, screen, &dotclock, &line)) return false;
    // The server's private data is not needed to switch back to the mode.
    if (line.c_private) XFree(line.c_private);
    *mode = XF86VidModeModeInfo{};
    mode->dotclock = unsigned(dotclock);
    mode->hdisplay = line.hdisplay;
    mode->hsyncstart = line.hsyncstart;
    mode->hsyncend = line.hsyncend;
    mode->htotal = line.htotal;
    mode->hskew = line.hskew;
    mode->vdisplay = line.vdisplay;
    mode->vsyncstart = line.vsyncstart;
    mode->vsyncend = line.vsyncend;
    mode->vtotal = line.vtotal;
    mode->flags = line.flags;
    return true;
}
