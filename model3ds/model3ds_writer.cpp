// 3DS writer: raw chunks with patched lengths, and whole models laid out as
// 3D Studio lays them out (version, editor block with mesh version, master
// scale, materials, then one object block per mesh).
#include "model3ds/model3ds_writer.h"

#include <cstdio>
#include <cstring>

// ---- Raw chunks ------------------------------------------------------------

// Writes a header whose length Close fills in.
void cChunkWriter::Open(uint16_t id) {
    open.push_back(bytes.size());
    Header(id, 0);
}

// Patches the innermost open chunk's length.
void cChunkWriter::Close() {
    if (open.empty()) return;
    const size_t start = open.back();
    open.pop_back();
    const uint32_t length = uint32_t(bytes.size() - start);
    for (int i = 0; i < 4; ++i) bytes[start + 2 + i] = uint8_t(length >> (8 * i));
}

// Writes a header with the given length.
void cChunkWriter::Header(uint16_t id, int32_t length) {
    U16(id);
    U32(uint32_t(length));
}

// Little-endian values, names and raw bytes.
void cChunkWriter::U8(uint8_t value) { bytes.push_back(value); }

void cChunkWriter::U16(uint16_t value) {
    bytes.push_back(uint8_t(value));
    bytes.push_back(uint8_t(value >> 8));
}

void cChunkWriter::U32(uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes.push_back(uint8_t(value >> (8 * i)));
}

void cChunkWriter::Float(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    U32(bits);
}

void cChunkWriter::Name(const std::string& name) {
    Raw(name.data(), name.size());
    U8(0);
}

void cChunkWriter::Raw(const void* data, size_t size) {
    const uint8_t* p = static_cast<const uint8_t*>(data);
    bytes.insert(bytes.end(), p, p + size);
}

// ---- Whole models ----------------------------------------------------------

namespace {

// A colour sub-chunk of 24-bit RGB inside a material colour chunk.
void WriteColor(cChunkWriter& w, uint16_t id, const std::array<uint8_t, 3>& rgb) {
    w.Open(id);
    w.Open(kChunkColor24);
    for (uint8_t c : rgb) w.U8(c);
    w.Close();
    w.Close();
}

// A material block: name, colours and the texture file.
void WriteMaterial(cChunkWriter& w, const cMaterial3ds& material) {
    w.Open(kChunkMaterialBlock);
    w.Open(kChunkMaterialName);
    w.Name(material.name);
    w.Close();
    WriteColor(w, kChunkMaterialAmbient, material.diffuse);
    WriteColor(w, kChunkMaterialDiffuse, material.diffuse);
    WriteColor(w, kChunkMaterialSpecular, {{255, 255, 255}});
    if (!material.textureFile.empty()) {
        w.Open(kChunkTexture1);
        w.Open(kChunkTextureFilename);
        w.Name(material.textureFile);
        w.Close();
        w.Close();
    }
    w.Close();
}

// An object block: name, vertices, mapping, axes, faces and their material.
void WriteMesh(cChunkWriter& w, const cMesh3ds& mesh) {
    w.Open(kChunkObjectBlock);
    w.Name(mesh.name);
    w.Open(kChunkTriangularMesh);

    w.Open(kChunkVertexList);
    w.U16(uint16_t(mesh.vertices.size()));
    for (const auto& v : mesh.vertices)
        for (float f : v) w.Float(f);
    w.Close();

    if (!mesh.mapping.empty()) {
        w.Open(kChunkMappingCoordinates);
        w.U16(uint16_t(mesh.mapping.size()));
        for (const auto& uv : mesh.mapping) {
            w.Float(uv[0]);
            w.Float(uv[1]);
        }
        w.Close();
    }

    // The object's local axes: identity rotation, origin at zero.
    w.Open(kChunkMeshMatrix);
    const float axes[12] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};
    for (float f : axes) w.Float(f);
    w.Close();

    w.Open(kChunkFaceList);
    w.U16(uint16_t(mesh.faces.size()));
    for (const cFace3ds& f : mesh.faces) {
        w.U16(f.a);
        w.U16(f.b);
        w.U16(f.c);
        w.U16(f.flags);
    }
    // Every face of the mesh uses its one material.
    if (!mesh.material.empty()) {
        w.Open(kChunkFaceMaterial);
        w.Name(mesh.material);
        w.U16(uint16_t(mesh.faces.size()));
        for (size_t i = 0; i < mesh.faces.size(); ++i) w.U16(uint16_t(i));
        w.Close();
    }
    w.Close();

    w.Close();  // triangular mesh
    w.Close();  // object block
}

}  // namespace

// The whole file: version, editor block, materials, then objects.
bool Write3ds(const cModel3ds& model, std::vector<uint8_t>& out) {
    for (const cMesh3ds& mesh : model.meshes)
        if (mesh.vertices.size() > 0xFFFF || mesh.faces.size() > 0xFFFF || mesh.mapping.size() > 0xFFFF) return false;

    cChunkWriter w;
    w.Open(kChunkMain);
    w.Open(kChunkVersion);
    w.U32(3);
    w.Close();
    w.Open(kChunkEditor);
    w.Open(kChunkMeshVersion);
    w.U32(3);
    w.Close();
    w.Open(kChunkMasterScale);
    w.Float(1.0f);
    w.Close();
    for (const cMaterial3ds& material : model.materials) WriteMaterial(w, material);
    for (const cMesh3ds& mesh : model.meshes) WriteMesh(w, mesh);
    w.Close();  // editor
    w.Close();  // main
    out = w.Bytes();
    return true;
}

// Writes bytes to a file.
bool SaveBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

// Writes a model to a file.
bool Save3ds(const std::string& path, const cModel3ds& model) {
    std::vector<uint8_t> bytes;
    return Write3ds(model, bytes) && SaveBytes(path, bytes);
}
