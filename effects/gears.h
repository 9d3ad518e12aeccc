// Gear cluster: five wire-frame gear wheels, a large one of twenty teeth in
// the middle and four of ten teeth around it, turning back and forth against
// it; on every beat the cluster jumps close to the viewer and flies away.
//
// Reads the song time it is given and the beat time (base/beat.h). Expects
// the scene to have set identity, white, line width 2 and fog off; leaves the
// modelview matrix translated along z by the beat jump and nothing else.
#pragma once

// Draws the outline of a gear wheel with faces at z = 0 and z = thickness:
// per tooth a wedge on each face and a crossed loop on each tooth flank.
void Gear(int teeth, double toothHeight, double thickness, double radius);

class cGears {
public:
    // Draws the cluster at song time t.
    void Draw(double t);
};
