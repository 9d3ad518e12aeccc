// cMaterial: a 3DS material, five colours and six texture maps, of which
// only the first of each is ever used (when a face with the material is
// drawn). The loader creates materials by name only.
#pragma once

#include "image/texture.h"
#include "model3ds/color.h"

#include <cstdint>

// Option bits of cMaterial::apply.
enum : uint16_t {
    kApplyTexture = 0x10,  // bind the first texture map
    kApplyColor = 0x400,   // set the current colour from the first colour
};

struct cMaterial {
    cColor colors[5];
    cTexture maps[6];

    // Sets the first colour and/or binds the first texture map, as the
    // option bits ask.
    void apply(uint16_t options);
};
