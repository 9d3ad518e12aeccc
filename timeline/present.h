// How DrawFrame presents a finished frame.
//
// The program's shell installs the presenter: the demo swaps the window's
// buffers, the capture reads the frame back, a pixel test keeps it in the
// back buffer. Without one the frame is left where it was drawn. Either
// way the bars beside a 4:3 view are cleared black first.
#pragma once

using cPresenter = void (*)();

// Replaces the presenter; null presents nothing.
void SetPresenter(cPresenter presenter);
// Presents the frame drawn so far.
void PresentFrame();
