// One frame of the demo: the scene the music position asks for, the beat
// flashes, and the buffer swap.
#pragma once

// Clears, draws the scene of the module's current order (or, from order 18
// on, of the beat count) with the shared song and beat times, draws the fixed
// flash at 24 s and presents the frame. Always returns 1.
int DrawFrame();
// Draws a frame as DrawFrame does, with every pixel scissored away, and
// does not present it: all of its state changes for the frames after it,
// none of its pixels.
void DrawUnseenFrame();
