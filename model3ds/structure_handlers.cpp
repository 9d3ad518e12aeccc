// Handlers for the file's structure: the containers, the two version words
// and the object block that names each mesh object.
#include "model3ds/chunk_handlers.h"

#include "model3ds/chunk_io.h"
#include "model3ds/level.h"

#include <cstdint>
#include <iostream>

namespace {

// Reads a version word and logs it under the given titles; 4 or -1.
int ReadVersion(std::istream& stream, const char* title, const char* label) {
    uint32_t version = 0;
    if (!ReadU32(stream, version)) return -1;
    std::cout << title << std::endl;
    std::cout << label << std::hex << version << std::dec << std::endl;
    return 4;
}

// Logs a container chunk's title; its body is read as sub-chunks.
int Container(const char* title) {
    std::cout << title << std::endl;
    return 0;
}

}  // namespace

// The top-level chunk: only a container.
int cMainChunkHandler::HandleChunk(std::istream&, cLevel&) { return Container("MainChunk"); }

// The file's version word, logged in hex.
int cVersionChunkHandler::HandleChunk(std::istream& stream, cLevel&) {
    return ReadVersion(stream, " VersionChunk", " Version: ");
}

// The editor block: only a container.
int cEditorChunkHandler::HandleChunk(std::istream&, cLevel&) { return Container(" EditorChunk"); }

// The mesh version word, logged in hex.
int cMeshVersionChunkHandler::HandleChunk(std::istream& stream, cLevel&) {
    return ReadVersion(stream, "   MeshVersionChunk", "   MeshVersion: ");
}

// An object's name: appends an empty object under it to the level.
int cObjectBlockChunkHandler::HandleChunk(std::istream& stream, cLevel& level) {
    const cObject fresh;
    std::cout << "  ObjectBlockChunk" << std::endl;
    char name[kNameBuffer];
    const int length = ReadName(stream, name);
    if (length < 0) return -1;
    std::cout << "  Object name: " << name << std::endl;
    std::cout << "  Adding " << name << " to level... ";
    // The level stores a copy of the empty object; the mesh chunks that
    // follow fill that copy through currentObject.
    if (level.objects.append(fresh, name) == -1) {
        std::cout << "ERROR" << std::endl;
        return -1;
    }
    std::cout << "OK" << std::endl;
    return length + 1;
}

// An object's mesh: only a container.
int cTriangularMeshChunkHandler::HandleChunk(std::istream&, cLevel&) { return Container("   TriangularMeshChunk"); }
