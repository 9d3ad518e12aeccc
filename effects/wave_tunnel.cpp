// Wave tunnel: surface of revolution, radius functions A and B, the two draws.
//
// Depends on base/display_list (the per-variant list) and base/gl_recreation
// (a fresh GL context after F1 knows none of the old list names).
#include "effects/wave_tunnel.h"

#include "base/gl_recreation.h"

#include "effects/black_fog.h"

#include <GL/gl.h>

#include <cmath>

// ---- Constants -------------------------------------------------------------

namespace {

// Degrees to radians for the vertex positions: pi taken as 3.14159.
constexpr double kVertexDegToRad = 3.14159 / 180.0;
// Degrees to radians for the colour waves: pi taken as 3.1415.
constexpr double kWaveDegToRad = 3.1415 / 180.0;
// 180 / 3.1415: the radius ripple divides by it instead of multiplying.
constexpr double kRippleDegPerRad = 57.29746936176985;

// Fog of the fogged variant: dense exponential black fog that swallows the
// far end of the tube.
constexpr float kFogDensity = 1.75f;
constexpr float kFogEnd = 0.5f;

// ---- Module state ----------------------------------------------------------

// Every live tunnel, so one registered function can forget all their lists.
cWaveTunnel* gFirstTunnel = nullptr;

// ---- Local helpers (in double precision from the float y and angle) --------

// The shade of blue at (y, angle): two waves along the tube and two around
// it, running against each other with time. Unclamped (up to 2.4); GL clamps.
double TunnelBlue(double t, double y, double angle) {
    return std::cos((360 * y + 30 * t) * 7 * kWaveDegToRad + 1) / 5 +
           (std::sin((360 * y - 40 * t) * 5 * kWaveDegToRad) + 1) / 2 +
           std::cos((angle + 30 * t) * 7 * kWaveDegToRad + 1) / 5 +
           (std::sin((angle - 40 * t) * 5 * kWaveDegToRad) + 1) / 2;
}

// The rippling part of the radius shared by both variants: four bumps
// turning around the tube with time, eight fixed ones on top.
double Ripple(double t, double angle) {
    return std::sin((angle + 20 * t) * 4 / kRippleDegPerRad) / 20 + std::cos(angle * 8 * 3.1415 / 180) / 40;
}

}  // namespace

// ---- Public functions ------------------------------------------------------

// Joins the chain of live tunnels and the F1 re-creation mechanism.
cWaveTunnel::cWaveTunnel() : nextTunnel(gFirstTunnel) {
    gFirstTunnel = this;
    RegisterGlRecreation(&cWaveTunnel::ForgetLists);
}

// Leaves the chain of live tunnels.
cWaveTunnel::~cWaveTunnel() {
    for (cWaveTunnel** link = &gFirstTunnel; *link; link = &(*link)->nextTunnel) {
        if (*link == this) {
            *link = nextTunnel;
            break;
        }
    }
}

// The list is re-recorded every frame, so forgetting the stale name is all a
// new context needs: the next frame generates a name that is valid in it.
void cWaveTunnel::ForgetLists() {
    for (cWaveTunnel* tunnel = gFirstTunnel; tunnel; tunnel = tunnel->nextTunnel) tunnel->list.Forget();
}

// Radius A: 0.2 with the ripple; colours the point.
float cWaveTunnel::RadiusA(float y, float angle) const {
    glColor3f(0, 0, float(TunnelBlue(time, y, angle)));
    return float(0.2 + Ripple(time, angle));
}

// Radius B: thinner than A, and lumpy along the axis: 360·y goes to the
// cosine as radians, so the six ring heights take unrelated widths.
float cWaveTunnel::RadiusB(float y, float angle) const {
    glColor3f(0, 0, float(TunnelBlue(time, y, angle)));
    return float(0.1 + Ripple(time, angle) + std::cos(360.0 * y) / 15);
}

// Issues the tube wall as rings × sectors primitives, four vertices each.
// No rings or no sectors draw nothing (a negative count would make a step
// that never reaches the end of its loop).
void cWaveTunnel::BuildRevolution(float length, int rings, int sectors, cRadius radius, unsigned mode) const {
    if (rings <= 0 || sectors <= 0) return;
    const float angleStep = 360.0f / float(sectors);
    const float yStep = length / float(rings);
    // The radius function sets the colour of the point, so it runs right
    // before each vertex and the vertex takes that colour.
    auto vertexAt = [&](float y, float angle) {
        const float r = (this->*radius)(y, angle);
        glVertex3f(float(std::cos(angle * kVertexDegToRad) * r), y, float(std::sin(angle * kVertexDegToRad) * r));
    };
    // Float accumulation, as the look was made with: 50 sectors end at
    // 360.00009 and 5 rings at 1.0, both failing the test.
    for (float a = 0; a < 360; a += angleStep) {
        for (float y = 0; y < length; y += yStep) {
            glBegin(mode);
            glTexCoord2f(0, 1);
            vertexAt(y, a);
            glTexCoord2f(1, 0);
            vertexAt(y, a + angleStep);
            glTexCoord2f(1, 1);
            vertexAt(y + yStep, a + angleStep);
            glTexCoord2f(0, 1);
            vertexAt(y + yStep, a);
            glEnd();
        }
    }
}

// Records this frame's tube into the list and replays it twice: the tube
// (y from 0 to 1) is turned onto the z axis and drawn at z 1..2 and 2..3
// from the entry matrix; the second translation is left in place.
void cWaveTunnel::RecordAndReplay(double t, cRadius radius) {
    list.Begin();
    glPushMatrix();
    glTranslatef(0, 0, 1);
    glRotatef(90, 1, 0, 0);
    time = t;
    BuildRevolution(1, 5, 50, radius, GL_TRIANGLE_FAN);
    glPopMatrix();
    list.End();

    glTranslatef(0, 0, 0);
    list.Call();
    glTranslatef(0, 0, 1);
    list.Call();
}

// Sets the black exponential fog, then records and replays radius A.
void cWaveTunnel::DrawFogged(double t) {
    SetBlackFog(kFogDensity, kFogEnd);
    RecordAndReplay(t, &cWaveTunnel::RadiusA);
}

// Records and replays radius B in the fog the scene already has.
void cWaveTunnel::DrawBulging(double t) { RecordAndReplay(t, &cWaveTunnel::RadiusB); }
