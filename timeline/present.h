// How DrawFrame presents a finished frame.
//
// By default the frame is swapped to the screen with glXSwapBuffers on the
// current display and drawable, which are the demo window's (its context is
// made current on it when it opens). A pixel test installs its own presenter
// to read the frame back before anything is swapped. Either way the bars
// beside a 4:3 view are cleared black first.
#pragma once

using cPresenter = void (*)();

// Replaces the presenter; null restores the buffer swap.
void SetPresenter(cPresenter presenter);
// Presents the frame drawn so far.
void PresentFrame();
