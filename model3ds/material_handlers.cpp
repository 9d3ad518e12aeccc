// Handlers for materials: the material block and its texture map
// (containers), the material's name and the texture's file name.
//
// A texture file is only loaded into the library's raster registry; nothing
// links it to the material, and a texture that fails never abandons the
// model.
#include "model3ds/chunk_handlers.h"

#include "model3ds/chunk_io.h"
#include "model3ds/level.h"

#include <iostream>

// A material: only a container.
int cMaterialBlockChunkHandler::HandleChunk(std::istream&, cLevel&) {
    std::cout << "  MaterialBlockChunk" << std::endl;
    return 0;
}

// A material's first texture map: only a container.
int cMaterialTexture1ChunkHandler::HandleChunk(std::istream&, cLevel&) {
    std::cout << "   Texturemap1Chunk" << std::endl;
    return 0;
}

// A material's name: adds a default material under it to the library.
int cMaterialNameChunkHandler::HandleChunk(std::istream& stream, cLevel& level) {
    std::cout << "  MaterialNameChunk" << std::endl;
    char name[kNameBuffer];
    const int length = ReadName(stream, name);
    if (length < 0) return -1;
    std::cout << "  Material name: " << name << std::endl;
    if (level.library.AddMaterial(name) == -1) {
        std::cout << "ERROR" << std::endl;
        return -1;
    }
    return length + 1;
}

// A texture's file name: loads the picture into the raster registry.
int cMaterialTextureFilenameChunkHandler::HandleChunk(std::istream& stream, cLevel& level) {
    std::cout << "   TextureFilenameChunk" << std::endl;
    char name[kNameBuffer];
    const int length = ReadName(stream, name);
    // A name cut off by the end of the file, or too long, is no file name.
    if (length < 0) return -1;
    std::cout << "Filename: " << name << std::endl;
    std::cout << "Attempting load..." << std::endl;
    // LoadRaster logs its own lines before the verdict.
    const int loaded = level.library.LoadRaster(name);
    std::cout << (loaded == 1 ? "OK" : "Error") << std::endl;
    return length + 1;
}
