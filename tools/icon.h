// The demo's icon: the intro's title card, letterboxed on a black square.
#pragma once

#include <cstdint>
#include <vector>

// size x size pixels, R, G, B bytes top-down. The card spans the intro's
// 1.28 x 0.48 strip, so on screen it is 8:3 wide; the icon shows it at that
// shape, as large as the square allows, centred on black (the card's own
// ground). Each icon pixel is the mean of the card pixels under it.
std::vector<uint8_t> DrawIcon(int size);
