// Applying a material: current colour, then texture binding.
#include "model3ds/material.h"

#include <GL/gl.h>

// Sets the first colour and/or binds the first texture map.
void cMaterial::apply(uint16_t options) {
    if (options & kApplyColor) glColor4fv(&colors[0].r);
    if (options & kApplyTexture) {
        // Makes the texture on first use; a map without a picture stays
        // uncreated and leaves texturing as it was.
        maps[0].create();
        if (maps[0].isCreated()) {
            glEnable(GL_TEXTURE_2D);
            glBindTexture(GL_TEXTURE_2D, maps[0].getName());
        }
    }
}
