// cLevel: the scene model a 3DS file is read into and the drawing walks.
//
// Named mesh objects numbered 1..n in file order, and a library of the
// materials and texture pictures the file names. Everything is owned by
// value through keyed lists; nothing is ever removed before the level dies.
#pragma once

#include "base/keyed_list.h"
#include "model3ds/library.h"
#include "model3ds/mesh.h"

struct cLevel {
    cKeyedList<cObject> objects;  // named by the object name
    cLibrary library;

    // The object the mesh chunks of a file go into: the last one appended
    // (on an empty level, the list head's nameless default object).
    cObject& currentObject() { return objects.last()->element; }
    // True once an object block has been read.
    bool hasObject() const { return !objects.isFree(); }
};
