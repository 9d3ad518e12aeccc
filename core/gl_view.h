// The fixed GL state of the demo's context and its projection, for a view of
// a given size (a window, or the capture's offscreen frame).
#pragma once

// Viewport and the 65 degree perspective projection for a view size.
void ResizeView(unsigned int width, unsigned int height);
// The fixed GL state of a new context and the projection of its view; always 1.
int SetupGL(unsigned int width, unsigned int height);
