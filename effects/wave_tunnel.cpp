// Wave tunnel: surface of revolution, radius functions A and B, the two draws.
//
// Uses GL 1.1 client-side vertex arrays only, so it owns no GL object and a
// fresh GL context after F1 needs nothing from it.
#include "effects/wave_tunnel.h"

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

// Radius A: 0.2 with the ripple.
cWaveTunnel::cPoint cWaveTunnel::RadiusA(float y, float angle) const {
    return {float(0.2 + Ripple(time, angle)), float(TunnelBlue(time, y, angle))};
}

// Radius B: thinner than A, and lumpy along the axis: 360·y goes to the
// cosine as radians, so the six ring heights take unrelated widths.
cWaveTunnel::cPoint cWaveTunnel::RadiusB(float y, float angle) const {
    return {float(0.1 + Ripple(time, angle) + std::cos(360.0 * y) / 15), float(TunnelBlue(time, y, angle))};
}

// Fills the arrays with the tube wall, rings × sectors primitives of four
// vertices each. No rings or no sectors build nothing (a negative count
// would make a step that never reaches the end of its loop).
void cWaveTunnel::BuildRevolution(float length, int rings, int sectors, cRadius radius, unsigned primitive) {
    vertices.clear();
    mode = primitive;
    if (rings <= 0 || sectors <= 0) return;
    const float angleStep = 360.0f / float(sectors);
    const float yStep = length / float(rings);
    // Each vertex takes the colour the radius function gives its very point.
    auto vertexAt = [&](float s, float t, float y, float angle) {
        const cPoint point = (this->*radius)(y, angle);
        vertices.push_back({s, t, 0, 0, point.blue, float(std::cos(angle * kVertexDegToRad) * point.radius), y,
                            float(std::sin(angle * kVertexDegToRad) * point.radius)});
    };
    // Float accumulation, as the look was made with: 50 sectors end at
    // 360.00009 and 5 rings at 1.0, both failing the test.
    for (float a = 0; a < 360; a += angleStep) {
        for (float y = 0; y < length; y += yStep) {
            vertexAt(0, 1, y, a);
            vertexAt(1, 0, y, a + angleStep);
            vertexAt(1, 1, y + yStep, a + angleStep);
            vertexAt(0, 1, y + yStep, a);
        }
    }
}

// Draws the built primitives from the arrays, four vertices each, leaving
// the client-side array state as it was.
void cWaveTunnel::DrawSurface() const {
    if (vertices.empty()) return;
    const cTubeVertex& first = vertices.front();
    const int stride = int(sizeof(cTubeVertex));
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glTexCoordPointer(2, GL_FLOAT, stride, &first.s);
    glColorPointer(3, GL_FLOAT, stride, &first.red);
    glVertexPointer(3, GL_FLOAT, stride, &first.x);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glEnableClientState(GL_VERTEX_ARRAY);
    for (size_t i = 0; i + 4 <= vertices.size(); i += 4) glDrawArrays(mode, GLint(i), 4);
    glPopClientAttrib();
}

// One half of the tunnel: the tube (y from 0 to 1) turned onto the z axis
// and drawn at z 1..2 from the current matrix, which is left as it was.
void cWaveTunnel::DrawTube() const {
    glPushMatrix();
    glTranslatef(0, 0, 1);
    glRotatef(90, 1, 0, 0);
    DrawSurface();
    glPopMatrix();
}

// Builds this frame's tube and draws it twice: at z 1..2 and 2..3 from the
// entry matrix; the second translation is left in place.
void cWaveTunnel::BuildAndDrawTwice(double t, cRadius radius) {
    time = t;
    BuildRevolution(1, 5, 50, radius, GL_TRIANGLE_FAN);
    glTranslatef(0, 0, 0);
    DrawTube();
    glTranslatef(0, 0, 1);
    DrawTube();
    // Drawing from arrays leaves the current colour and texture coordinate
    // undefined; the steps after the tunnel get those of its last vertex,
    // as if it had been drawn vertex by vertex.
    if (vertices.empty()) return;
    const cTubeVertex& last = vertices.back();
    glColor3f(last.red, last.green, last.blue);
    glTexCoord2f(last.s, last.t);
}

// Sets the black exponential fog, then builds and draws radius A.
void cWaveTunnel::DrawFogged(double t) {
    SetBlackFog(kFogDensity, kFogEnd);
    BuildAndDrawTwice(t, &cWaveTunnel::RadiusA);
}

// Builds and draws radius B in the fog the scene already has.
void cWaveTunnel::DrawBulging(double t) { BuildAndDrawTwice(t, &cWaveTunnel::RadiusB); }
