// The handler registry's static objects: the head, then one instance of each
// handler, defined in this order in this one file so that they are made (and
// log their registration) in this order before main runs. The chunk reader
// reaches the head through ChunkHandlerRegistry, which pulls this file into
// every program that reads 3DS files.
#include "model3ds/chunk_handlers.h"

// Including <iostream> makes std::cout ready before the handlers below log.
#include <iostream>

namespace {

// Id 0: chunks of id 0x0000 get the base operation ("DummyChunk").
cChunkHandler registryHead;

cMainChunkHandler mainChunkHandler;
cVersionChunkHandler versionChunkHandler;
cEditorChunkHandler editorChunkHandler;
cMeshVersionChunkHandler meshVersionChunkHandler;
cObjectBlockChunkHandler objectBlockChunkHandler;
cTriangularMeshChunkHandler triangularMeshChunkHandler;
cVertexListChunkHandler vertexListChunkHandler;
cFaceListChunkHandler faceListChunkHandler;
cMaterialBlockChunkHandler materialBlockChunkHandler;
cMaterialNameChunkHandler materialNameChunkHandler;
cMappingCoordinatesListChunkHandler mappingCoordinatesListChunkHandler;
cMaterialTextureFilenameChunkHandler materialTextureFilenameChunkHandler;
cMaterialTexture1ChunkHandler materialTexture1ChunkHandler;

}  // namespace

cChunkHandler& ChunkHandlerRegistry() { return registryHead; }
