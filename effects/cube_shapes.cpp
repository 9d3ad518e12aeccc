// SolidCube and WireCube: the cube shapes shared by the road and the rings.
#include "effects/cube_shapes.h"

#include <GL/gl.h>

// The front face carries no normal and no texture coordinates of its own: it
// takes whatever is current (the effects draw with lighting and texturing
// off); the other five faces set a normal and a coordinate per corner.
void SolidCube(double size) {
    if (size == 0) return;
    const float h = float(size / 2);
    glPushMatrix();
    glBegin(GL_QUADS);
    // front, z = +h
    glVertex3f(-h, -h, h);
    glVertex3f(h, -h, h);
    glVertex3f(h, h, h);
    glVertex3f(-h, h, h);
    // back, z = -h
    glNormal3f(0, 0, -1);
    glTexCoord2f(1, 0); glVertex3f(-h, -h, -h);
    glTexCoord2f(1, 1); glVertex3f(-h, h, -h);
    glTexCoord2f(0, 1); glVertex3f(h, h, -h);
    glTexCoord2f(0, 0); glVertex3f(h, -h, -h);
    // top, y = +h
    glNormal3f(0, 1, 0);
    glTexCoord2f(0, 1); glVertex3f(-h, h, -h);
    glTexCoord2f(0, 0); glVertex3f(-h, h, h);
    glTexCoord2f(1, 0); glVertex3f(h, h, h);
    glTexCoord2f(1, 1); glVertex3f(h, h, -h);
    // bottom, y = -h
    glNormal3f(0, -1, 0);
    glTexCoord2f(1, 1); glVertex3f(-h, -h, -h);
    glTexCoord2f(0, 1); glVertex3f(h, -h, -h);
    glTexCoord2f(0, 0); glVertex3f(h, -h, h);
    glTexCoord2f(1, 0); glVertex3f(-h, -h, h);
    // right, x = +h
    glNormal3f(1, 0, 0);
    glTexCoord2f(1, 0); glVertex3f(h, -h, -h);
    glTexCoord2f(1, 1); glVertex3f(h, h, -h);
    glTexCoord2f(0, 1); glVertex3f(h, h, h);
    glTexCoord2f(0, 0); glVertex3f(h, -h, h);
    // left, x = -h
    glNormal3f(-1, 0, 0);
    glTexCoord2f(0, 0); glVertex3f(-h, -h, -h);
    glTexCoord2f(1, 0); glVertex3f(-h, -h, h);
    glTexCoord2f(1, 1); glVertex3f(-h, h, h);
    glTexCoord2f(0, 1); glVertex3f(-h, h, -h);
    glEnd();
    glPopMatrix();
}

// One loop per face, in the order front, back, top, bottom, right, left.
void WireCube(double size) {
    if (size == 0) return;
    const float h = float(size / 2);
    // Corners of each face, as (x, y, z) sign triples.
    static const signed char faces[6][4][3] = {
        {{-1, -1, 1}, {1, -1, 1}, {1, 1, 1}, {-1, 1, 1}},          // front
        {{-1, -1, -1}, {-1, 1, -1}, {1, 1, -1}, {1, -1, -1}},      // back
        {{-1, 1, -1}, {-1, 1, 1}, {1, 1, 1}, {1, 1, -1}},          // top
        {{-1, -1, -1}, {1, -1, -1}, {1, -1, 1}, {-1, -1, 1}},      // bottom
        {{1, -1, -1}, {1, 1, -1}, {1, 1, 1}, {1, -1, 1}},          // right
        {{-1, -1, -1}, {-1, -1, 1}, {-1, 1, 1}, {-1, 1, -1}},      // left
    };
    glPushMatrix();
    for (const auto& face : faces) {
        glBegin(GL_LINE_LOOP);
        for (const auto& corner : face) glVertex3f(corner[0] * h, corner[1] * h, corner[2] * h);
        glEnd();
    }
    glPopMatrix();
}
