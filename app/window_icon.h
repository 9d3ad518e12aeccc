// The window's icon in the layout of _NET_WM_ICON: for each size, width and
// height, then width x height pixels as 0xAARRGGBB, rows top-down. Made at
// build time from the title card (tools/make_window_icon.cpp), the same
// picture as the desktop icon.
#pragma once

extern const unsigned long kWindowIcon[];
extern const unsigned long kWindowIconLength;  // entries in kWindowIcon
