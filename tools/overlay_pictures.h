// The beat overlay's two picture/mask pairs (Data/mekk1.bmp + mekkmap1.bmp,
// Data/mekk2.bmp + mekkmap2.bmp).
//
// The overlay multiplies the frame by the mask and then adds the picture:
// where a mask is white the scene shows through (and the picture adds light
// to it), where it is black the picture stands alone. Each pair is designed
// together: machinery framing an open centre.
#pragma once

#include "tools/canvas.h"

struct cOverlayPair {
    cCanvas picture;
    cCanvas mask;
};

// Pair 1: a riveted porthole in a steel plate, brass gears in the corners.
cOverlayPair MakeOverlayPorthole();
// Pair 2: a wide view between two girders with toothed racks, pinions and
// side pistons; thin sight marks in the open middle.
cOverlayPair MakeOverlayRacks();
