// Mesh records of the scene model: vertices, triangles and named objects.
//
// An object owns two keyed lists, its vertices and its faces, numbered 1..n
// in file order. A face points at three vertices inside the list nodes of
// the same object; list nodes never move, so those pointers stay valid for
// as long as the object lives. Copying an object copies both lists, but the
// copied faces still point into the source's vertices, so objects are only
// copied while they have no faces (the loader copies a fresh, empty object
// into the level and fills the stored copy).
#pragma once

#include "base/keyed_list.h"
#include "model3ds/color.h"

struct cMaterial;

// One mesh vertex, already in the drawing's axis order.
struct cVertex {
    double x = 0, y = 0, z = 0;
    double u = 0, v = 0;  // texture coordinates

    // Sets the texture coordinates.
    void SetTexCoord(double newU, double newV) {
        u = newU;
        v = newV;
    }
};

// One triangle: three vertices of the same object, and an optional material.
struct cFace {
    cVertex* a = nullptr;
    cVertex* b = nullptr;
    cVertex* c = nullptr;
    cMaterial* material = nullptr;

    cFace() = default;
    // A copy shares the vertices but not the material: faces enter their list
    // through this copy, so a stored face starts without a material.
    cFace(const cFace& other) : a(other.a), b(other.b), c(other.c), material(nullptr) {}
    cFace& operator=(const cFace& other) = default;
};

// One named mesh object of a 3DS file.
struct cObject {
    // Declared before the faces, so the faces that point into it are
    // destroyed first.
    cKeyedList<cVertex> vertices;
    cKeyedList<cFace> faces;
    cColor color;  // carried along; the drawing does not use it
};
