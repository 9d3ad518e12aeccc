// Our own monoline lettering: each glyph is a few strokes (segments and
// circular arcs) on a grid where the x-height is 1, capitals and ascenders
// reach 1.5 and descenders go down to -0.6. Only the letters the title needs
// are drawn; a missing letter draws as a gap.
#pragma once

#include "tools/canvas.h"

#include <functional>
#include <string>

// Paints `text` onto the canvas with its baseline starting at (x, y) in design
// units; `scale` is the x-height in design units, `weight` the stroke width
// and `tracking` the gap between letters (both in x-heights). `fill` gives the
// colour at each design point. `raise` lifts the relief under the strokes.
void DrawText(cCanvas& canvas, const std::string& text, float x, float y, float scale, float weight,
              float tracking, const std::function<cRgb(float, float)>& fill, float raise = 0);

// Width of `text` in x-heights, from the first stroke's left edge to the last
// stroke's right edge centre line.
float TextWidth(const std::string& text, float tracking);
