// The intro's title card, "Vindelkrok designdemo", for Data/vindelbild.bmp.
#pragma once

#include "tools/canvas.h"

// Draws the card: 512 x 256 pixels spanning the intro's 1.28 x 0.48 strip, so
// each pixel is 4:3 wide on screen. Lettering and rules on pure black: the
// intro lights it over-bright, where everything that is not black turns
// white or blue, so the black ground keeps the letters readable then.
cCanvas MakeTitleCard();
