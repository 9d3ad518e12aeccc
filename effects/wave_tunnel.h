// Wave tunnel: the rippling blue tube seen from inside, backdrop of most scenes.
//
// Two variants share one geometry builder and differ in their radius function
// and in fog: `DrawFogged` (radius A, with its own exponential black fog) and
// `DrawBulging` (radius B, thinner and lumpy, no fog of its own). Each frame
// builds the tube's vertices, with that frame's shape and colours, once into
// client-side arrays and draws them twice, one unit apart along z, so the
// trigonometry is paid once for both halves. Nothing is recorded into a
// display list: Mesa loses a few KB on every re-recorded list, and the tube
// changes every frame.
//
// GL state left behind: the modelview matrix translated by (0, 0, 1); the
// colour and texture coordinate of the tube's last vertex; `DrawFogged`
// leaves fog on. Blending, lighting, texturing, the depth test and the
// client-side array state are as they were.
#pragma once

#include <vector>

class cWaveTunnel {
public:
    // A point of the tube wall: its radius and its shade of blue.
    struct cPoint {
        float radius;
        float blue;
    };
    // A radius function: the tube wall at (y along the axis 0..1, angle in
    // degrees).
    using cRadius = cPoint (cWaveTunnel::*)(float y, float angle) const;

    // Draws the fogged variant at song time t.
    void DrawFogged(double t);
    // Draws the bulging variant at song time t, in whatever fog the scene has.
    void DrawBulging(double t);

    // Builds a surface of revolution around the y axis into the vertex
    // arrays: rings × sectors four-vertex primitives of the given GL mode.
    void BuildRevolution(float length, int rings, int sectors, cRadius radius, unsigned mode);
    // Draws the built surface at the current matrix.
    void DrawSurface() const;
    // Radius function A (fogged variant) at this object's time.
    cPoint RadiusA(float y, float angle) const;
    // Radius function B (bulging variant) at this object's time.
    cPoint RadiusB(float y, float angle) const;

    // The song time the radius functions read.
    double Time() const { return time; }
    void SetTime(double t) { time = t; }

private:
    // One vertex as the arrays hold it: texture coordinate, colour, position.
    struct cTubeVertex {
        float s, t;
        float red, green, blue;
        float x, y, z;
    };

    void BuildAndDrawTwice(double t, cRadius radius);
    void DrawTube() const;

    std::vector<cTubeVertex> vertices;  // keeps its capacity from frame to frame
    unsigned mode = 0;
    double time = 0.0;
};
