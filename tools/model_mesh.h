// The model for Data/rongert2.3DS: a toothed ring around a knotted core on a
// hub with vane blades, built as triangle meshes with mapping coordinates.
//
// Coordinates are the file's (z up). The model is about 260 units across,
// so at the scene's scale of 0.005 it is 1.3 units wide: half the view's
// height at the depth of 2 units where it lands on each beat.
#pragma once

#include "tools/canvas.h"
#include "model3ds/model3ds_writer.h"

#include <string>

// The model "rongert": three objects ("cogring", "knot", "vanes") sharing one
// textured material, its texture map naming `textureFile`.
cModel3ds MakeRongert(const std::string& textureFile);

// The model's texture: riveted blue panels, 256 x 256.
cCanvas MakeModelTexture();
