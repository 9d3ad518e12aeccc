// Writing 3D Studio (3DS) files: the chunk tree the model loader reads.
//
// Two levels. `cChunkWriter` writes raw chunks (id, patched length, payload)
// and is what tests use to craft broken files. `Write3ds` turns a whole model
// description (materials with a texture file, named meshes with vertices,
// faces and mapping coordinates) into a well-formed file of the layout 3D
// Studio itself writes, so other readers take it too. Little-endian
// throughout; no dependency on the rest of the demo.
#pragma once

#include "model3ds/chunk_ids.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Raw chunk writer: Open/Close nest, Close fills in the chunk's length.
class cChunkWriter {
public:
    // Starts a chunk; its length is written when it is closed.
    void Open(uint16_t id);
    // Ends the innermost open chunk and patches its length.
    void Close();
    // Writes a header with a given length, for chunks whose length must lie.
    void Header(uint16_t id, int32_t length);

    void U8(uint8_t value);
    void U16(uint16_t value);
    void U32(uint32_t value);
    void Float(float value);
    // The characters and a terminating zero byte.
    void Name(const std::string& name);
    void Raw(const void* data, size_t size);

    // Everything written so far (open chunks still have length 0).
    const std::vector<uint8_t>& Bytes() const { return bytes; }
    size_t OpenChunks() const { return open.size(); }

private:
    std::vector<uint8_t> bytes;
    std::vector<size_t> open;  // offsets of the open chunks' headers
};

struct cFace3ds {
    uint16_t a = 0, b = 0, c = 0;  // vertex indices, 0-based
    uint16_t flags = 7;            // edge visibility bits, as 3D Studio writes them
};

struct cMaterial3ds {
    std::string name;
    std::array<uint8_t, 3> diffuse{{200, 200, 200}};
    std::string textureFile;  // empty: no texture map chunk
};

struct cMesh3ds {
    std::string name;
    std::vector<std::array<float, 3>> vertices;  // file order (x, y, z)
    std::vector<cFace3ds> faces;
    std::vector<std::array<float, 2>> mapping;  // empty: no mapping chunk
    std::string material;                        // empty: no face material chunk
};

struct cModel3ds {
    std::vector<cMaterial3ds> materials;
    std::vector<cMesh3ds> meshes;
};

// Writes the whole model as a 3DS file image; false when a list is longer
// than the format's 16-bit counts allow. Everything else is written as given
// (faces past the vertex list, long names), so tests can make odd files too.
bool Write3ds(const cModel3ds& model, std::vector<uint8_t>& out);
// Write3ds into a file; false when the model cannot be written or the file not.
bool Save3ds(const std::string& path, const cModel3ds& model);
// Writes bytes to a file; false on failure.
bool SaveBytes(const std::string& path, const std::vector<uint8_t>& bytes);
