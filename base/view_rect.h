// The demo's view inside a window or frame of any shape.
//
// The picture is made for a 4:3 view (the 65 degree projection, the flash
// quad that just covers it, the overlay pictures). A window or frame of
// another shape shows the largest centred 4:3 rectangle of it, with black
// bars beside it or above and below it; a 4:3 frame is all view.
#pragma once

// A rectangle in GL window coordinates (x, y from the bottom left).
struct cViewRect {
    int x, y, width, height;
};

// The largest 4:3 rectangle centred in a width x height frame, each side at
// least 1 (sides are rounded to the nearest pixel).
cViewRect FitView(unsigned int width, unsigned int height);
// Remembers the frame size and the view in use in it, for ClearViewBars;
// set together with the viewport.
void SetViewFrame(unsigned int width, unsigned int height, const cViewRect& view);
// Clears the frame black outside the view (wide lines may reach past the
// viewport); nothing when the view fills the frame. Leaves the scissor test,
// the scissor box and the clear colour as it found them.
void ClearViewBars();
