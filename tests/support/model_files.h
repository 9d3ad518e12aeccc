// Test models for the 3DS loader: small files made with the 3DS writer, and
// loading them from memory or from a temporary file with the log captured.
#pragma once

#include "model3ds/level.h"
#include "model3ds/model3ds_writer.h"

#include <cstdint>
#include <string>
#include <vector>

namespace modeltest {

// A mesh of n vertices (i, 2i, 3i) and the given faces.
cMesh3ds Mesh(const std::string& name, int vertexCount, std::vector<cFace3ds> faces = {});
// The writer's file image of a model (fails the test when it cannot write).
std::vector<uint8_t> Bytes(const cModel3ds& model);

struct cLoad {
    int result = 0;   // what ReadChunk returned
    std::string log;  // standard output while loading
};
// Reads one top-level chunk of bytes into the level, capturing the log.
cLoad ReadBytes(const std::vector<uint8_t>& bytes, cLevel& level);
// The log split into lines (without their line ends).
std::vector<std::string> Lines(const std::string& log);
// A fresh file path under the test's temporary directory.
std::string TempPath(const std::string& name);

// Element of a keyed list by id, or null when absent.
template <class T>
T* ById(cKeyedList<T>& list, uint16_t id) {
    return list.containsId(id) ? &list.findId(id)->element : nullptr;
}

}  // namespace modeltest
