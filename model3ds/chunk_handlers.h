// The 13 chunk handlers that give a 3DS file its meaning.
//
// Each serves one chunk id and reads that chunk's own payload into the
// level: object names, each object's vertices, faces and mapping
// coordinates, material names and texture files. Containers read nothing
// and leave their body to the chunk reader. One static instance of each
// registers itself before main, in the order below (chunk_registry.cpp).
#pragma once

#include "model3ds/chunk_ids.h"
#include "model3ds/chunk_reader.h"

// kChunkMain: the file's top-level chunk (container).
class cMainChunkHandler : public cChunkHandler {
public:
    cMainChunkHandler() : cChunkHandler(kChunkMain) {}
    int HandleChunk(std::istream& stream, cLevel& level) override;
};

// kChunkVersion: the file's version word.
class cVersionChunkHandler : public cChunkHandler {
public:
    cVersionChunkHandler() : cChunkHandler(kChunkVersion) {}
    int HandleChunk(std::istream& stream, cLevel& level) override;
};

// kChunkEditor: the editor block holding materials and objects (container).
class cEditorChunkHandler : public cChunkHandler {
public:
    cEditorChunkHandler() : cChunkHandler(kChunkEditor) {}
    int HandleChunk(std::istream& stream, cLevel& level) override;
};

// kChunkMeshVersion: the mesh version word.
class cMeshVersionChunkHandler : public cChunkHandler {
public:
    cMeshVersionChunkHandler() : cChunkHandler(kChunkMeshVersion) {}
    int HandleChunk(std::istream& stream, cLevel& level) override;
};

// kChunkObjectBlock: an object's name; appends a new object to the level.
class cObjectBlockChunkHandler : public cChunkHandler {
public:
    cObjectBlockChunkHandler() : cChunkHandler(kChunkObjectBlock) {}
    int HandleChunk(std::istream& stream, cLevel& level) override;
};

// kChunkTriangularMesh: an object's triangle mesh (container).
class cTriangularMeshChunkHandler : public cChunkHandler {
public:
    cTriangularMeshChunkHandler() : cChunkHandler(kChunkTriangularMesh) {}
    int HandleChunk(std::istream& stream, cLevel& level) override;
};

// kChunkVertexList: vertices of the current object.
class cVertexListChunkHandler : public cChunkHandler {
public:
    cVertexListChunkHandler() : cChunkHandler(kChunkVertexList) {}
    int HandleChunk(std::istream& stream, cLevel& level) override;
};

// kChunkFaceList: triangles of the current object.
class cFaceListChunkHandler : public cChunkHandler {
public:
    cFaceListChunkHandler() : cChunkHandler(kChunkFaceList) {}
    int HandleChunk(std::istream& stream, cLevel& level) override;
};

// kChunkMaterialBlock: a material (container).
class cMaterialBlockChunkHandler : public cChunkHandler {
public:
    cMaterialBlockChunkHandler() : cChunkHandler(kChunkMaterialBlock) {}
    int HandleChunk(std::istream& stream, cLevel& level) override;
};

// kChunkMaterialName: a material's name; adds the material to the library.
class cMaterialNameChunkHandler : public cChunkHandler {
public:
    cMaterialNameChunkHandler() : cChunkHandler(kChunkMaterialName) {}
    int HandleChunk(std::istream& stream, cLevel& level) override;
};

// kChunkMappingCoordinates: texture coordinates of the current object's vertices.
class cMappingCoordinatesListChunkHandler : public cChunkHandler {
public:
    cMappingCoordinatesListChunkHandler() : cChunkHandler(kChunkMappingCoordinates) {}
    int HandleChunk(std::istream& stream, cLevel& level) override;
};

// kChunkTextureFilename: a texture's file name; loads the picture into the library.
class cMaterialTextureFilenameChunkHandler : public cChunkHandler {
public:
    cMaterialTextureFilenameChunkHandler() : cChunkHandler(kChunkTextureFilename) {}
    int HandleChunk(std::istream& stream, cLevel& level) override;
};

// kChunkTexture1: a material's first texture map (container).
class cMaterialTexture1ChunkHandler : public cChunkHandler {
public:
    cMaterialTexture1ChunkHandler() : cChunkHandler(kChunkTexture1) {}
    int HandleChunk(std::istream& stream, cLevel& level) override;
};
