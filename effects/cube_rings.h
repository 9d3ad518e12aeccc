// Cube rings: rings of twenty small translucent blue cubes with bright blue
// outlines around the view axis, tumbling about the ring's tangent and
// growing and shrinking in waves running both ways around the ring; blended
// additively over the wave tunnel, nothing depth-tested.
//
// Expects identity and a cleared depth buffer from the scene. Leaves the
// modelview matrix as on entry, the depth test off, blending on with
// (GL_SRC_ALPHA, GL_DST_ALPHA), colour (0, 0, 1, 0.1) and line width 6.
#pragma once

// Edge of the cube at `angle` degrees around the ring for a wave at `phase`:
// between 0.1 and 0.5.
double CubeSize(double angle, double phase);

class cCubeRings {
public:
    // Draws three passes of two rings each at song time t.
    void Draw(double t);
};
