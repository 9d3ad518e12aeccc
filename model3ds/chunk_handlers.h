// The 13 chunk handlers that give a 3DS file its meaning.
//
// Each serves one chunk id and reads that chunk's own payload into the
// level: object names, each object's vertices, faces and mapping
// coordinates, material names and texture files. Containers read nothing
// and leave their body to the chunk reader. One static instance of each
// registers itself before main, in the order below (chunk_registry.cpp).
#pragma once

#include "model3ds/chunk_reader.h"

// 0x4D4D: the file's top-level chunk (container).
class cMainChunkHandler : public cChunkHandler {
public:
    cMainChunkHandler() : cChunkHandler(0x4D4D) {}
    int HandleChunk(std::istream& stream, cLevel& level) override;
};

// 0x0002: the file's version word.
class cVersionChunkHandler : public cChunkHandler {
public:
    cVersionChunkHandler() : cChunkHandler(0x0002) {}
    int HandleChunk(std::istream& stream, cLevel& level) override;
};

// 0x3D3D: the editor block holding materials and objects (container).
class cEditorChunkHandler : public cChunkHandler {
public:
    cEditorChunkHandler() : cChunkHandler(0x3D3D) {}
    int HandleChunk(std::istream& stream, cLevel& level) override;
};

// 0x3D3E: the mesh version word.
class cMeshVersionChunkHandler : public cChunkHandler {
public:
    cMeshVersionChunkHandler() : cChunkHandler(0x3D3E) {}
    int HandleChunk(std::istream& stream, cLevel& level) override;
};

// 0x4000: an object's name; appends a new object to the level.
class cObjectBlockChunkHandler : public cChunkHandler {
public:
    cObjectBlockChunkHandler() : cChunkHandler(0x4000) {}
    int HandleChunk(std::istream& stream, cLevel& level) override;
};

// 0x4100: an object's triangle mesh (container).
class cTriangularMeshChunkHandler : public cChunkHandler {
public:
    cTriangularMeshChunkHandler() : cChunkHandler(0x4100) {}
    int HandleChunk(std::istream& stream, cLevel& level) override;
};

// 0x4110: vertices of the current object.
class cVertexListChunkHandler : public cChunkHandler {
public:
    cVertexListChunkHandler() : cChunkHandler(0x4110) {}
    int HandleChunk(std::istream& stream, cLevel& level) override;
};

// 0x4120: triangles of the current object.
class cFaceListChunkHandler : public cChunkHandler {
public:
    cFaceListChunkHandler() : cChunkHandler(0x4120) {}
    int HandleChunk(std::istream& stream, cLevel& level) override;
};

// 0xAFFF: a material (container).
class cMaterialBlockChunkHandler : public cChunkHandler {
public:
    cMaterialBlockChunkHandler() : cChunkHandler(0xAFFF) {}
    int HandleChunk(std::istream& stream, cLevel& level) override;
};

// 0xA000: a material's name; adds the material to the library.
class cMaterialNameChunkHandler : public cChunkHandler {
public:
    cMaterialNameChunkHandler() : cChunkHandler(0xA000) {}
    int HandleChunk(std::istream& stream, cLevel& level) override;
};

// 0x4140: texture coordinates of the current object's vertices.
class cMappingCoordinatesListChunkHandler : public cChunkHandler {
public:
    cMappingCoordinatesListChunkHandler() : cChunkHandler(0x4140) {}
    int HandleChunk(std::istream& stream, cLevel& level) override;
};

// 0xA300: a texture's file name; loads the picture into the library.
class cMaterialTextureFilenameChunkHandler : public cChunkHandler {
public:
    cMaterialTextureFilenameChunkHandler() : cChunkHandler(0xA300) {}
    int HandleChunk(std::istream& stream, cLevel& level) override;
};

// 0xA200: a material's first texture map (container).
class cMaterialTexture1ChunkHandler : public cChunkHandler {
public:
    cMaterialTexture1ChunkHandler() : cChunkHandler(0xA200) {}
    int HandleChunk(std::istream& stream, cLevel& level) override;
};
