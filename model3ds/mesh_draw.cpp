// Mesh drawing: objects and faces visited by id, 1..n, in loading order.
#include "model3ds/mesh_draw.h"

#include "model3ds/level.h"
#include "model3ds/material.h"

#include <GL/gl.h>

#include <cmath>

namespace {

// Every option of a material: its colour and its first texture map.
constexpr uint16_t kApplyAll = 0xFFFF;

}  // namespace

// Objects 1, 2, ... in loading order.
void DrawLevel(cLevel& level, unsigned mode) {
    for (uint32_t id = 1; id <= 0xFFFF && level.objects.containsId(uint16_t(id)); ++id)
        DrawObjectFaces(level.objects.findId(uint16_t(id))->element, mode);
}

// Faces 1, 2, ... each as one primitive.
void DrawObjectFaces(cObject& object, unsigned mode) {
    for (uint32_t id = 1; id <= 0xFFFF && object.faces.containsId(uint16_t(id)); ++id) {
        const cFace& face = object.faces.findId(uint16_t(id))->element;
        // GL forbids binding a texture between glBegin and glEnd, so a
        // face's material goes on before its primitive opens.
        if (face.material && face.a && face.b && face.c) face.material->apply(kApplyAll);
        glBegin(mode);
        DrawFace(face);
        glEnd();
    }
}

// Normal, then the three vertices.
void DrawFace(const cFace& face) {
    if (!face.a || !face.b || !face.c) return;
    // Normal of the plane through the three vertices, from the edges a - b
    // and c - b in single precision; counter-clockwise faces point at the
    // viewer.
    const float e1[3] = {float(face.a->x - face.b->x), float(face.a->y - face.b->y), float(face.a->z - face.b->z)};
    const float e2[3] = {float(face.c->x - face.b->x), float(face.c->y - face.b->y), float(face.c->z - face.b->z)};
    float normal[3] = {e2[1] * e1[2] - e2[2] * e1[1], e2[2] * e1[0] - e2[0] * e1[2], e2[0] * e1[1] - e2[1] * e1[0]};
    const float length = std::sqrt(normal[0] * normal[0] + normal[1] * normal[1] + normal[2] * normal[2]);
    if (length > 0.0f)
        for (float& n : normal) n /= length;
    glNormal3fv(normal);
    EmitVertex(*face.a);
    EmitVertex(*face.b);
    EmitVertex(*face.c);
}

// Texture coordinate, then position.
void EmitVertex(const cVertex& vertex) {
    glTexCoord2d(vertex.u, vertex.v);
    glVertex3d(vertex.x, vertex.y, vertex.z);
}
