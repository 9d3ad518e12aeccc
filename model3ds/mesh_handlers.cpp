// Handlers for an object's mesh: vertex list, face list and mapping
// coordinates, all stored into the level's current object.
//
// Counts are unsigned 16-bit values (0 to 65,535), as 3D Studio and the
// modellers that write its files store them. Elements are appended one at a
// time as they are read, never reserved from the count, so a count that lies
// about the chunk's size costs no more memory than the bytes actually
// present; a list stops at its first short read.
#include "model3ds/chunk_handlers.h"

#include "model3ds/chunk_io.h"
#include "model3ds/level.h"

#include <cstdint>
#include <iostream>

namespace {

// Mesh data needs an object block before it; without one it would land in
// the level's nameless default object.
bool HasObject(const cLevel& level) {
    if (level.hasObject()) return true;
    std::cout << "    Mesh data outside an object block" << std::endl;
    return false;
}

// The vertex a 0-based file index refers to, or null when the object has
// no vertex with that id (ids are 16-bit: an index of 65535 has none).
cVertex* VertexAt(cObject& object, uint16_t fileIndex) {
    const int id = int(fileIndex) + 1;
    if (id > 0xFFFF || !object.vertices.containsId(uint16_t(id))) return nullptr;
    return &object.vertices.findId(uint16_t(id))->element;
}

}  // namespace

// Appends the listed vertices to the current object, ids continuing.
int cVertexListChunkHandler::HandleChunk(std::istream& stream, cLevel& level) {
    std::cout << "    VertexListChunk" << std::endl;
    if (!HasObject(level)) return -1;
    uint16_t count = 0;
    if (!ReadU16(stream, count)) return -1;
    const char* objectName = level.objects.last()->name;
    std::cout << "    NumberOfVertexes in " << objectName << " : " << count << std::endl;

    cObject& object = level.currentObject();
    for (int i = 0; i < count; ++i) {
        float f[3];
        if (!ReadFloats(stream, f, 3)) break;
        // The file's second and third coordinates trade places.
        cVertex vertex;
        vertex.x = f[0];
        vertex.y = f[2];
        vertex.z = f[1];
        if (object.vertices.append(vertex) == -1) return -1;
    }
    if (!stream.good()) return -1;
    return int(count) * 12 + 2;
}

// Appends a face per record whose three vertices exist; logs the others.
int cFaceListChunkHandler::HandleChunk(std::istream& stream, cLevel& level) {
    std::cout << "    FaceListChunk" << std::endl;
    if (!HasObject(level)) return -1;
    uint16_t count = 0;
    if (!ReadU16(stream, count)) return -1;
    std::cout << "    NumberOfFaces: " << count << std::endl;

    cObject& object = level.currentObject();
    for (int i = 0; i < count; ++i) {
        uint16_t record[4];  // a, b, c and a flags word that is not used
        if (!ReadU16s(stream, record, 4)) {
            std::cout << "eof" << std::endl;
            return -1;
        }
        cFace face;
        face.a = VertexAt(object, record[0]);
        face.b = VertexAt(object, record[1]);
        face.c = VertexAt(object, record[2]);
        if (face.a && face.b && face.c) {
            if (object.faces.append(face) == -1) return -1;
        } else {
            // The file counts vertices from 0, the list from 1.
            std::cout << "couldnt find all vertexes. ID's are: " << record[0] + 1 << ' ' << record[1] + 1 << ' '
                      << record[2] + 1 << std::endl;
        }
    }
    if (!stream.good()) return -1;
    return int(count) * 8 + 2;
}

// Sets the texture coordinates of vertices 1..n of the current object.
int cMappingCoordinatesListChunkHandler::HandleChunk(std::istream& stream, cLevel& level) {
    std::cout << "    MappingCoordinatesListChunk" << std::endl;
    if (!HasObject(level)) return -1;
    uint16_t count = 0;
    if (!ReadU16(stream, count)) return -1;
    std::cout << "    NumberOfMappingCoordinates: " << count << std::endl;

    cObject& object = level.currentObject();
    for (int i = 0; i < count; ++i) {
        float uv[2];
        if (!ReadFloats(stream, uv, 2)) {
            std::cout << "eof" << std::endl;
            return -1;
        }
        const uint16_t id = uint16_t(i + 1);
        if (object.vertices.containsId(id)) {
            object.vertices.findId(id)->element.SetTexCoord(uv[0], uv[1]);
        } else {
            std::cout << "could not find vertex: " << i + 1 << std::endl;
        }
    }
    if (!stream.good()) return -1;
    return int(count) * 8 + 2;
}
