// cDisplayList: record once or every frame, replay as often as wanted.
#include "base/display_list.h"

#include <GL/gl.h>

void cDisplayList::Begin() {
    if (name == 0) name = glGenLists(1);
    // With no name (glGenLists failed) the commands that follow run at once.
    if (name != 0) glNewList(name, GL_COMPILE);
}

void cDisplayList::End() {
    if (name != 0) glEndList();
}

void cDisplayList::Call() {
    if (name != 0) glCallList(name);
}
