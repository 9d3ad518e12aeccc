// The model for Data/rongert2.3DS: a toothed ring around a knotted core on a
// hub with vane blades, built as triangle meshes with mapping coordinates.
//
// Coordinates are the file's (z up). The model is about 260 units across,
// so at the scene's scale of 0.005 it is 1.3 units wide: half the view's
// height at the depth of 2 units where it lands on each beat.
#pragma once

#include "tools/canvas.h"

#include <cstdint>
#include <string>
#include <vector>

struct cMeshObject {
    std::string name;
    std::vector<float> xyz;        // three floats per vertex
    std::vector<float> uv;         // two floats per vertex
    std::vector<uint16_t> faces;   // three vertex indices per face, from 0
    size_t VertexCount() const { return xyz.size() / 3; }
    size_t FaceCount() const { return faces.size() / 3; }
};

struct cModelData {
    std::vector<cMeshObject> objects;
    std::string material;     // the one material's name
    std::string textureFile;  // the BMP its texture map names
};

// The model "rongert" with its material and texture file name.
cModelData MakeRongert(const std::string& textureFile);

// The model's texture: riveted blue panels, 256 x 256.
cCanvas MakeModelTexture();
