// Scrolling road: Wrap, one road section, and the frame's three sections.
//
// Depends on the cube shapes for the bars of the arch.
#include "effects/road.h"

#include "effects/cube_shapes.h"

#include "effects/black_fog.h"

#include <GL/gl.h>

#include <cmath>

// ---- Constants -------------------------------------------------------------

namespace {

// Length of one section along z; the road moves one section per second.
constexpr double kSectionLength = 3.0;
// Lighter fog than the tunnel's, so the road stays visible further away.
constexpr float kFogDensity = 0.75f;
constexpr float kFogEnd = 1.0f;

// ---- Local helpers ---------------------------------------------------------

// One quad in the plane y = height, from half-width w at z = 0 to z = -length.
void FlatQuad(float w, float height, float length) {
    glBegin(GL_QUADS);
    glVertex3f(w, height, 0);
    glVertex3f(-w, height, 0);
    glVertex3f(-w, height, -length);
    glVertex3f(w, height, -length);
    glEnd();
}

}  // namespace

// ---- Public functions ------------------------------------------------------

// Equal to subtracting the period while v >= period (each subtraction of a
// whole-number period is exact, and so is fmod), but in constant time. A
// period that is not positive, or a v that is infinite, would make that
// loop endless; such values come back unchanged.
double Wrap(double v, double period) {
    if (!(period > 0) || std::isinf(v)) return v;
    if (v >= period) v = std::fmod(v, period);
    return v;
}

// Floor, centre line and arch of one section, z from 0 to -3.
void DrawRoadSection() {
    // Floor, a quarter unit below the eye.
    glColor3f(0, 0, 1);
    FlatQuad(0.5f, -0.25f, 3);
    // Centre line: five dashes 0.3 long every 0.6, lifted 0.0001 above the
    // floor so they win the depth test.
    for (double d = 0; d < 3; d += 0.6) {
        glPushMatrix();
        glColor3f(1, 1, 1);
        glTranslatef(0, 0, float(-d));
        FlatQuad(0.03f, -0.2499f, 0.3f);
        glPopMatrix();
    }
    // Arch: a bar every 9 degrees up to 288, leaving the gap under the road;
    // each a long white box along z outlined in black.
    for (double a = 0; a < 290; a += 9) {
        glColor3f(1, 1, 1);
        glPushMatrix();
        glRotatef(float(a), 0, 0, 1);
        glTranslatef(0.5f, -0.2f, -1.5f);
        glScalef(0.03f, 0.03f, 3);
        SolidCube(1);
        glColor3f(0, 0, 0);
        glLineWidth(4);
        WireCube(1);
        glPopMatrix();
    }
}

// The offset climbs from 0 to just under 3 and jumps back; the repeated
// pattern hides the jump. Sections at offset, offset + 3 and offset - 3.
void cRoad::Draw(double t) {
    SetBlackFog(kFogDensity, kFogEnd);

    const float offset = float(Wrap(kSectionLength * t, kSectionLength));
    glTranslatef(0, 0, offset);
    DrawRoadSection();
    glTranslatef(0, 0, 3);
    DrawRoadSection();
    glTranslatef(0, 0, -6);
    DrawRoadSection();
}
