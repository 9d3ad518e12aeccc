// Scrolling road: a blue road with a dashed white centre line under an arch
// of white bars outlined in black, sliding towards the viewer at three units
// per second of song time into black fog. Drawn over the wave tunnel.
//
// GL state left behind: the modelview matrix translated by (0, 0, offset - 3)
// with offset = Wrap(3t, 3); fog on; colour black; line width 4. Blending,
// texturing, lighting and the depth test are not touched.
#pragma once

// v reduced below period by whole periods; a value already below it
// (negative ones included) comes back unchanged.
double Wrap(double v, double period);

// Draws one three-unit section of road in the current matrix: floor, five
// centre-line dashes and 33 bars.
void DrawRoadSection();

class cRoad {
public:
    // Draws three sections, nine units of road, scrolled to song time t.
    void Draw(double t);
};
