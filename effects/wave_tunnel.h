// Wave tunnel: the rippling blue tube seen from inside, backdrop of most scenes.
//
// Two variants share one geometry builder and differ in their radius function
// and in fog: `DrawFogged` (radius A, with its own exponential black fog) and
// `DrawBulging` (radius B, thinner and lumpy, no fog of its own). Each
// variant is its own object with its own display list, re-recorded every
// frame with that frame's shape and colours and replayed twice, one unit
// apart along z, so the trigonometry is paid once for both halves.
//
// GL state left behind: the modelview matrix translated by (0, 0, 1); the
// colour last recorded into the list; `DrawFogged` leaves fog on. Blending,
// lighting, texturing and the depth test are not touched.
#pragma once

#include "base/display_list.h"

class cWaveTunnel {
public:
    // A radius function: the tube radius at (y along the axis 0..1, angle in
    // degrees); it also sets the colour of that point with glColor3f.
    using cRadius = float (cWaveTunnel::*)(float y, float angle) const;

    cWaveTunnel();
    ~cWaveTunnel();
    cWaveTunnel(const cWaveTunnel&) = delete;
    cWaveTunnel& operator=(const cWaveTunnel&) = delete;

    // Draws the fogged variant at song time t.
    void DrawFogged(double t);
    // Draws the bulging variant at song time t, in whatever fog the scene has.
    void DrawBulging(double t);

    // Issues a surface of revolution around the y axis as rings × sectors
    // four-vertex primitives of the given GL mode.
    void BuildRevolution(float length, int rings, int sectors, cRadius radius, unsigned mode) const;
    // Radius function A (fogged variant) at this object's recorded time.
    float RadiusA(float y, float angle) const;
    // Radius function B (bulging variant) at this object's recorded time.
    float RadiusB(float y, float angle) const;

    // The song time the radius functions read.
    double Time() const { return time; }
    void SetTime(double t) { time = t; }
    const cDisplayList& List() const { return list; }

    // Drops the list names of every tunnel after the GL context was replaced.
    static void ForgetLists();

private:
    void RecordAndReplay(double t, cRadius radius);

    cDisplayList list;
    double time = 0.0;
    cWaveTunnel* nextTunnel = nullptr;  // chain of live tunnels, for ForgetLists
};
