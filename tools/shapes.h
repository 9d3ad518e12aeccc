// Signed distances of 2D shapes, their anti-aliased coverage, and a
// deterministic value noise: the vocabulary the pictures are drawn with.
//
// A signed distance is negative inside the shape and positive outside, in
// design units; Coverage turns it into a 0..1 pixel coverage.
#pragma once

#include <cstdint>

// Coverage of a pixel of size `pixel` by a shape at signed distance d.
float Coverage(float d, float pixel);
// Smooth 0..1 ramp between edge0 and edge1.
float SmoothStep(float edge0, float edge1, float x);

// Distance to the segment (ax, ay)-(bx, by) (a stroke's centre line).
float DistSegment(float px, float py, float ax, float ay, float bx, float by);
// Distance to the arc of radius r around (cx, cy) from angle a0 to a1
// (degrees, counter-clockwise from a0 to a1).
float DistArc(float px, float py, float cx, float cy, float r, float a0, float a1);
// Signed distance to an axis-aligned box with rounded corners of radius rc.
float SdRoundBox(float px, float py, float cx, float cy, float halfW, float halfH, float rc);

// Signed distance (approximate near the teeth) to a gear around (cx, cy):
// `teeth` teeth between rootR and tipR, turned by `turn` degrees, with a
// centre hole of radius holeR and `spokes` windows between spokeR0 and spokeR1
// (no windows when spokes is 0).
struct cGear {
    float cx = 0, cy = 0;
    int teeth = 12;
    float rootR = 0.2f, tipR = 0.24f;
    float turn = 0;
    float holeR = 0.03f;
    int spokes = 0;
    float spokeR0 = 0.06f, spokeR1 = 0.15f;
};
float SdGear(float px, float py, const cGear& gear);

// Smooth value noise in 0..1 at (x, y), lattice spacing 1, from a seed.
float ValueNoise(float x, float y, uint32_t seed);
// Sum of octaves of value noise, 0..1.
float FractalNoise(float x, float y, int octaves, uint32_t seed);
