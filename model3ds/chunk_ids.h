// Chunk ids of the 3DS format as the reader and the writer know them.
//
// A 3DS file is a tree of chunks, each a 16-bit id and a 32-bit length
// (header included) before its payload; a container's payload is more
// chunks. Ids the demo does not handle are skipped by the reader.
#pragma once

#include <cstdint>

enum : uint16_t {
    kChunkMain = 0x4D4D,                 // the file's top-level chunk (container)
    kChunkVersion = 0x0002,              // the file's version word
    kChunkEditor = 0x3D3D,               // materials and objects (container)
    kChunkMeshVersion = 0x3D3E,          // the mesh version word
    kChunkMasterScale = 0x0100,          // one float, the editor's scale
    kChunkObjectBlock = 0x4000,          // an object's name, then its parts
    kChunkTriangularMesh = 0x4100,       // an object's triangle mesh (container)
    kChunkVertexList = 0x4110,           // vertices
    kChunkFaceList = 0x4120,             // triangles, then their materials
    kChunkFaceMaterial = 0x4130,         // the faces of one material
    kChunkMappingCoordinates = 0x4140,   // texture coordinates of the vertices
    kChunkMeshMatrix = 0x4160,           // the object's local axes
    kChunkMaterialBlock = 0xAFFF,        // a material (container)
    kChunkMaterialName = 0xA000,         // a material's name
    kChunkMaterialAmbient = 0xA010,      // colours of a material, each holding
    kChunkMaterialDiffuse = 0xA020,      // one colour sub-chunk
    kChunkMaterialSpecular = 0xA030,
    kChunkTexture1 = 0xA200,             // a material's first texture map (container)
    kChunkTextureFilename = 0xA300,      // a texture's file name
    kChunkColorFloat = 0x0010,           // colour sub-chunks: float RGB,
    kChunkColor24 = 0x0011,              // 24-bit RGB,
    kChunkColor24Gamma = 0x0012,         // 24-bit RGB gamma corrected,
    kChunkColorFloatGamma = 0x0013,      // float RGB gamma corrected
};
