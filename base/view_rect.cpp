// FitView and the black bars beside the view.
#include "base/view_rect.h"

#include <GL/gl.h>

#include <cstdint>

namespace {

// The frame and its view as last set; no bars until set.
struct cViewFrame {
    int width = 0, height = 0;
    cViewRect view{0, 0, 0, 0};
} gFrame;

// Clears one bar if it has an area.
void ClearBar(int x, int y, int width, int height) {
    if (width <= 0 || height <= 0) return;
    glScissor(x, y, width, height);
    glClear(GL_COLOR_BUFFER_BIT);
}

}  // namespace

// Largest centred 4:3 rectangle of a frame
cViewRect FitView(unsigned int width, unsigned int height) {
    const uint64_t w = width, h = height;
    uint64_t vw = w, vh = h;
    if (w * 3 >= h * 4)
        vw = (h * 8 + 3) / 6;  // 4h/3, rounded
    else
        vh = (w * 6 + 4) / 8;  // 3w/4, rounded
    if (vw < 1) vw = 1;
    if (vh < 1) vh = 1;
    const int x = w > vw ? int((w - vw) / 2) : 0;
    const int y = h > vh ? int((h - vh) / 2) : 0;
    return {x, y, int(vw), int(vh)};
}

// Remember the frame and its view
void SetViewFrame(unsigned int width, unsigned int height, const cViewRect& view) {
    gFrame.width = int(width);
    gFrame.height = int(height);
    gFrame.view = view;
}

// Clear the frame black outside the view
void ClearViewBars() {
    const cViewRect& v = gFrame.view;
    const int w = gFrame.width, h = gFrame.height;
    const bool bars = v.x > 0 || v.y > 0 || v.x + v.width < w || v.y + v.height < h;
    if (!bars) return;

    const GLboolean scissoring = glIsEnabled(GL_SCISSOR_TEST);
    GLint box[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_SCISSOR_BOX, box);
    GLfloat clear[4] = {0, 0, 0, 0};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);

    glEnable(GL_SCISSOR_TEST);
    glClearColor(0, 0, 0, 0);
    ClearBar(0, 0, v.x, h);                                   // left
    ClearBar(v.x + v.width, 0, w - v.x - v.width, h);         // right
    ClearBar(v.x, 0, v.width, v.y);                           // below
    ClearBar(v.x, v.y + v.height, v.width, h - v.y - v.height);  // above

    glClearColor(clear[0], clear[1], clear[2], clear[3]);
    glScissor(box[0], box[1], box[2], box[3]);
    if (!scissoring) glDisable(GL_SCISSOR_TEST);
}
