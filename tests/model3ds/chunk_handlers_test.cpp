// Chunk handlers: what each stores into the level, what it returns and
// logs, and how it refuses counts, names and mesh data it cannot trust.
#include <gtest/gtest.h>

#include "model3ds/chunk_handlers.h"
#include "model3ds/mesh_draw.h"
#include "tests/support/fake_gl.h"
#include "tests/support/model_files.h"

#include <GL/gl.h>

#include <sstream>

using modeltest::ById;
using modeltest::Bytes;
using modeltest::Lines;
using modeltest::Mesh;
using modeltest::ReadBytes;

namespace {

// Runs the registered handler for id on a payload; its result and log.
modeltest::cLoad Handle(int id, const std::vector<uint8_t>& payload, cLevel& level) {
    std::istringstream stream(std::string(payload.begin(), payload.end()));
    modeltest::cLoad load;
    testing::internal::CaptureStdout();
    load.result = FindChunkHandler(&ChunkHandlerRegistry(), id)->HandleChunk(stream, level);
    load.log = testing::internal::GetCapturedStdout();
    return load;
}

// A main chunk and an editor chunk around whatever fill writes.
template <class Fill>
std::vector<uint8_t> Editor(Fill fill) {
    cChunkWriter w;
    w.Open(kChunkMain);
    w.Open(kChunkEditor);
    fill(w);
    w.Close();
    w.Close();
    return w.Bytes();
}

void VertexList(cChunkWriter& w, int firstValue, int count) {
    w.Open(kChunkVertexList);
    w.U16(uint16_t(count));
    for (int i = 0; i < count; ++i)
        for (int k = 0; k < 3; ++k) w.Float(float(firstValue + i));
    w.Close();
}

bool Contains(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

size_t Size(cKeyedList<cVertex>& list) {
    size_t n = 0;
    for (uint16_t id = 1; list.containsId(id); ++id) ++n;
    return n;
}
size_t Size(cKeyedList<cFace>& list) {
    size_t n = 0;
    for (uint16_t id = 1; list.containsId(id); ++id) ++n;
    return n;
}

}  // namespace

TEST(ObjectBlock, TwoObjectsGetIdsInFileOrderAndMeshDataGoesToTheLastOne) {
    cModel3ds model;
    model.meshes = {Mesh("A", 3, {{0, 1, 2}}), Mesh("B", 4, {{0, 1, 2}, {1, 2, 3}})};
    cLevel level;
    const auto bytes = Bytes(model);
    EXPECT_EQ(ReadBytes(bytes, level).result, int(bytes.size()));
    EXPECT_STREQ(level.objects.findId(1)->name, "A");
    EXPECT_STREQ(level.objects.findId(2)->name, "B");
    EXPECT_FALSE(level.objects.containsId(3));
    EXPECT_EQ(&level.currentObject(), &level.objects.findId(2)->element);
    EXPECT_EQ(Size(level.objects.findId(1)->element.vertices), 3u);
    EXPECT_EQ(Size(level.objects.findId(1)->element.faces), 1u);
    EXPECT_EQ(Size(level.currentObject().vertices), 4u);
    EXPECT_EQ(Size(level.currentObject().faces), 2u);
}

TEST(ObjectBlock, TenCharacterNameReturnsElevenAndLogsTheAddingLine) {
    cChunkWriter w;
    w.Name("ABCDEFGHIJ");
    w.U32(0xDEADBEEF);  // the object's first sub-chunk would start here
    cLevel level;
    const auto load = Handle(kChunkObjectBlock, w.Bytes(), level);
    EXPECT_EQ(load.result, 11);
    EXPECT_EQ(load.log, "  ObjectBlockChunk\n  Object name: ABCDEFGHIJ\n  Adding ABCDEFGHIJ to level... OK\n");
    EXPECT_STREQ(level.objects.name, "ABCDEFGHIJ");
}

TEST(VersionChunks, LogTheirValueInHexAndReturnFour) {
    cChunkWriter w;
    w.U32(0x3E8);
    cLevel level;
    auto load = Handle(kChunkVersion, w.Bytes(), level);
    EXPECT_EQ(load.result, 4);
    EXPECT_EQ(load.log, " VersionChunk\n Version: 3e8\n");
    load = Handle(kChunkMeshVersion, w.Bytes(), level);
    EXPECT_EQ(load.result, 4);
    EXPECT_EQ(load.log, "   MeshVersionChunk\n   MeshVersion: 3e8\n");
    // Unreadable: nothing logged, not even the title.
    load = Handle(kChunkVersion, {1, 2}, level);
    EXPECT_EQ(load.result, -1);
    EXPECT_EQ(load.log, "");
}

TEST(VertexList, SwapsTheSecondAndThirdCoordinateAndStartsWithoutMapping) {
    cModel3ds model;
    model.meshes = {Mesh("m", 0)};
    model.meshes[0].vertices = {{{1, 2, 3}}, {{-4.5f, 0.25f, 7}}};
    cLevel level;
    ReadBytes(Bytes(model), level);
    cVertex* v = ById(level.currentObject().vertices, 1);
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->x, 1);
    EXPECT_EQ(v->y, 3);
    EXPECT_EQ(v->z, 2);
    EXPECT_EQ(v->u, 0);
    EXPECT_EQ(v->v, 0);
    v = ById(level.currentObject().vertices, 2);
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->x, -4.5);
    EXPECT_EQ(v->y, 7);
    EXPECT_EQ(v->z, 0.25);
}

TEST(VertexList, SecondListContinuesTheIdsAndFacesCountFromTheWholeList) {
    const auto bytes = Editor([](cChunkWriter& w) {
        w.Open(kChunkObjectBlock);
        w.Name("two lists");
        w.Open(kChunkTriangularMesh);
        VertexList(w, 10, 2);
        VertexList(w, 20, 2);
        w.Open(kChunkFaceList);
        w.U16(1);
        w.U16(0), w.U16(1), w.U16(3), w.U16(0);
        w.Close();
        w.Close();
        w.Close();
    });
    cLevel level;
    EXPECT_EQ(ReadBytes(bytes, level).result, int(bytes.size()));
    cObject& object = level.currentObject();
    EXPECT_EQ(Size(object.vertices), 4u);
    EXPECT_EQ(ById(object.vertices, 3)->x, 20);
    cFace* face = ById(object.faces, 1);
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(face->c, ById(object.vertices, 4));
    EXPECT_EQ(face->c->x, 21);
}

TEST(FaceList, StoresOneFacePerRecordInFileOrderWithoutMaterial) {
    cModel3ds model;
    model.meshes = {Mesh("m", 4, {{0, 1, 2}, {3, 2, 1}, {0, 0, 3}})};
    cLevel level;
    const auto load = ReadBytes(Bytes(model), level);
    EXPECT_TRUE(Contains(Lines(load.log), "    NumberOfFaces: 3"));
    cObject& object = level.currentObject();
    ASSERT_EQ(Size(object.faces), 3u);
    cFace* second = ById(object.faces, 2);
    EXPECT_EQ(second->a, ById(object.vertices, 4));
    EXPECT_EQ(second->b, ById(object.vertices, 3));
    EXPECT_EQ(second->c, ById(object.vertices, 2));
    for (uint16_t id = 1; id <= 3; ++id) EXPECT_EQ(ById(object.faces, id)->material, nullptr);
}

TEST(FaceList, IndexOnePastTheLastVertexIsLoggedAndTheFaceSkipped) {
    cModel3ds model;
    model.meshes = {Mesh("m", 3, {{0, 1, 2}, {1, 2, 3}, {2, 1, 0}})};
    cLevel level;
    const auto bytes = Bytes(model);
    const auto load = ReadBytes(bytes, level);
    EXPECT_EQ(load.result, int(bytes.size()));
    EXPECT_TRUE(Contains(Lines(load.log), "couldnt find all vertexes. ID's are: 2 3 4"));
    cObject& object = level.currentObject();
    ASSERT_EQ(Size(object.faces), 2u);
    EXPECT_EQ(ById(object.faces, 2)->a, ById(object.vertices, 3));
}

TEST(FaceList, IndexOf65535NeverWrapsToIdZero) {
    // Vertex ids are 16 bits: file index 65535 would become id 0, which an
    // empty vertex list's free head carries.
    const auto bytes = Editor([](cChunkWriter& w) {
        w.Open(kChunkObjectBlock);
        w.Name("empty");
        w.Open(kChunkFaceList);
        w.U16(1);
        w.U16(0xFFFF), w.U16(0xFFFF), w.U16(0xFFFF), w.U16(0);
        w.Close();
        w.Close();
    });
    cLevel level;
    const auto load = ReadBytes(bytes, level);
    EXPECT_TRUE(Contains(Lines(load.log), "couldnt find all vertexes. ID's are: 65536 65536 65536"));
    EXPECT_TRUE(level.currentObject().faces.isFree());
}

TEST(FaceList, FacesStillPointAtTheirVerticesAfterMoreAreAppended) {
    const auto bytes = Editor([](cChunkWriter& w) {
        w.Open(kChunkObjectBlock);
        w.Name("growing");
        VertexList(w, 1, 3);
        w.Open(kChunkFaceList);
        w.U16(1);
        w.U16(0), w.U16(1), w.U16(2), w.U16(0);
        w.Close();
        VertexList(w, 100, 5000);
        w.Close();
    });
    cLevel level;
    ReadBytes(bytes, level);
    cObject& object = level.currentObject();
    ASSERT_EQ(Size(object.vertices), 5003u);
    const cFace* face = ById(object.faces, 1);
    EXPECT_EQ(face->a, ById(object.vertices, 1));
    EXPECT_EQ(face->c, ById(object.vertices, 3));
    EXPECT_EQ(face->a->x, 1);
    EXPECT_EQ(face->c->x, 3);
}

TEST(MappingList, LongerThanTheVertexListLogsEachExtraPairAndGoesOn) {
    cModel3ds model;
    model.meshes = {Mesh("m", 2)};
    model.meshes[0].mapping = {{{0.5f, 0.25f}}, {{1, 2}}, {{3, 4}}, {{5, 6}}};
    cLevel level;
    const auto bytes = Bytes(model);
    const auto load = ReadBytes(bytes, level);
    EXPECT_EQ(load.result, int(bytes.size()));
    const auto lines = Lines(load.log);
    EXPECT_TRUE(Contains(lines, "    NumberOfMappingCoordinates: 4"));
    EXPECT_TRUE(Contains(lines, "could not find vertex: 3"));
    EXPECT_TRUE(Contains(lines, "could not find vertex: 4"));
    cVertex* first = ById(level.currentObject().vertices, 1);
    EXPECT_EQ(first->u, 0.5);
    EXPECT_EQ(first->v, 0.25);  // stored as read, no flip
    EXPECT_EQ(ById(level.currentObject().vertices, 2)->u, 1);
}

TEST(MappingList, ShorterThanTheVertexListLeavesTheRestAtZero) {
    cModel3ds model;
    model.meshes = {Mesh("m", 3)};
    model.meshes[0].mapping = {{{0.5f, 0.75f}}};
    cLevel level;
    ReadBytes(Bytes(model), level);
    EXPECT_EQ(ById(level.currentObject().vertices, 1)->v, 0.75);
    EXPECT_EQ(ById(level.currentObject().vertices, 2)->u, 0);
    EXPECT_EQ(ById(level.currentObject().vertices, 3)->v, 0);
}

TEST(MeshLists, CountOfZeroReturnsTwoAndStoresNothing) {
    cLevel level;
    level.objects.append(cObject(), "o");
    for (int id : {kChunkVertexList, kChunkFaceList, kChunkMappingCoordinates})
        EXPECT_EQ(Handle(id, {0, 0}, level).result, 2) << std::hex << id;
    EXPECT_TRUE(level.currentObject().vertices.isFree());
    EXPECT_TRUE(level.currentObject().faces.isFree());
}

TEST(MeshLists, CountsOf32768AndAboveReadAsUnsignedUpToTheShortRead) {
    // 64 zero bytes after the count: five whole vertices, eight face
    // records, eight mapping pairs. The rest of the count is not there.
    for (int id : {kChunkVertexList, kChunkFaceList, kChunkMappingCoordinates}) {
        for (const uint16_t count : {uint16_t(32768), uint16_t(65535)}) {
            cLevel level;
            level.objects.append(cObject(), "o");
            std::vector<uint8_t> payload = {uint8_t(count & 0xFF), uint8_t(count >> 8)};
            payload.resize(payload.size() + 64, 0);
            const auto load = Handle(id, payload, level);
            EXPECT_EQ(load.result, -1) << std::hex << id;
            EXPECT_EQ(Lines(load.log).at(1).substr(Lines(load.log).at(1).rfind(' ') + 1), std::to_string(count));
            EXPECT_EQ(Size(level.currentObject().vertices), id == kChunkVertexList ? 5u : 0u);
            EXPECT_TRUE(level.currentObject().faces.isFree());
        }
    }
}

TEST(MeshLists, MeshDataBeforeAnyObjectBlockIsRejected) {
    for (int id : {kChunkVertexList, kChunkFaceList, kChunkMappingCoordinates}) {
        const auto bytes = Editor([id](cChunkWriter& w) {
            w.Open(uint16_t(id));
            w.U16(1);
            for (int i = 0; i < 3; ++i) w.Float(0);
            w.Close();
        });
        cLevel level;
        const auto load = ReadBytes(bytes, level);
        EXPECT_EQ(load.result, -1) << std::hex << id;
        EXPECT_EQ(Lines(load.log).back(), "    Mesh data outside an object block");
        EXPECT_TRUE(level.currentObject().vertices.isFree());
        EXPECT_FALSE(level.hasObject());
    }
}

TEST(MeshLists, CountsBeyondTheChunkReadToEndOfFileAndFail) {
    // 30,000 vertices claimed in a 40-byte chunk: the 32 bytes present hold
    // two whole vertices, which are stored, then the list fails.
    cChunkWriter w;
    w.Header(kChunkVertexList, 40);
    w.U16(30000);
    for (int i = 0; i < 8; ++i) w.Float(float(i));
    ASSERT_EQ(w.Bytes().size(), 40u);
    cLevel level;
    level.objects.append(cObject(), "o");
    const auto load = Handle(kChunkVertexList, std::vector<uint8_t>(w.Bytes().begin() + 6, w.Bytes().end()), level);
    EXPECT_EQ(load.result, -1);
    EXPECT_EQ(Size(level.currentObject().vertices), 2u);

    std::vector<uint8_t> faces = {0x30, 0x75, 0, 0, 1, 0, 2, 0};  // 30000 faces, half a record
    EXPECT_EQ(Handle(kChunkFaceList, faces, level).result, -1);
    EXPECT_EQ(Lines(Handle(kChunkFaceList, faces, level).log).back(), "eof");
    std::vector<uint8_t> mapping = {0x30, 0x75, 0, 0, 0, 0};
    EXPECT_EQ(Lines(Handle(kChunkMappingCoordinates, mapping, level).log).back(), "eof");
}

// One object of n vertices, n faces (face i joins vertices i, i + 1 and
// i + 2, wrapping) and n mapping pairs: every vertex and index in use.
cModel3ds LargeObject(int n) {
    cModel3ds model;
    model.meshes = {Mesh("large", n)};
    for (int i = 0; i < n; ++i) {
        model.meshes[0].faces.push_back({uint16_t(i), uint16_t((i + 1) % n), uint16_t((i + 2) % n)});
        model.meshes[0].mapping.push_back({{float(i), 0.5f}});
    }
    return model;
}

TEST(LargeObjects, UpTo65535FacesInOneObjectLoadAndDrawEveryFace) {
    // GL calls the drawing makes for one face.
    cLevel one;
    ReadBytes(Bytes(LargeObject(3)), one);
    fakegl::Reset();
    DrawObjectFaces(one.currentObject(), GL_TRIANGLE_FAN);
    const size_t callsPerFace = fakegl::Calls().size() / 3;
    ASSERT_EQ(fakegl::Count("glBegin"), 3u);

    for (int n : {40000, 65535}) {
        cLevel level;
        const auto bytes = Bytes(LargeObject(n));
        const auto load = ReadBytes(bytes, level);
        EXPECT_EQ(load.result, int(bytes.size())) << n;
        const auto lines = Lines(load.log);
        EXPECT_TRUE(Contains(lines, "    NumberOfVertexes in large : " + std::to_string(n)));
        EXPECT_TRUE(Contains(lines, "    NumberOfFaces: " + std::to_string(n)));
        EXPECT_TRUE(Contains(lines, "    NumberOfMappingCoordinates: " + std::to_string(n)));
        cObject& object = level.currentObject();
        EXPECT_EQ(Size(object.vertices), size_t(n));
        ASSERT_EQ(Size(object.faces), size_t(n));
        // The last face reaches the last vertex and wraps to the first two.
        const cFace* last = ById(object.faces, uint16_t(n));
        EXPECT_EQ(last->a, ById(object.vertices, uint16_t(n)));
        EXPECT_EQ(last->b, ById(object.vertices, 1));
        EXPECT_EQ(last->c, ById(object.vertices, 2));
        EXPECT_EQ(last->a->u, double(float(n - 1)));

        fakegl::Reset();
        fakegl::SetRecording(false);
        DrawObjectFaces(object, GL_TRIANGLE_FAN);
        EXPECT_EQ(fakegl::CallsMade(), callsPerFace * size_t(n)) << n;
        fakegl::SetRecording(true);
    }
}

TEST(LargeObjects, FaceCountBeyondTheChunkStopsAtTheShortRead) {
    // 65535 faces claimed, two records present, then the file ends.
    const auto bytes = Editor([](cChunkWriter& w) {
        w.Open(kChunkObjectBlock);
        w.Name("claims");
        VertexList(w, 1, 3);
        w.Open(kChunkFaceList);
        w.U16(65535);
        w.U16(0), w.U16(1), w.U16(2), w.U16(0);
        w.U16(2), w.U16(1), w.U16(0), w.U16(0);
        w.Close();
        w.Close();
    });
    cLevel level;
    const auto load = ReadBytes(bytes, level);
    EXPECT_EQ(load.result, -1);
    EXPECT_EQ(Lines(load.log).back(), "eof");
    EXPECT_EQ(Size(level.currentObject().faces), 2u);
}

TEST(Names, UpTo254CharactersAreReadAndLongerOnesFail) {
    const std::string longest(254, 'n');
    cChunkWriter ok;
    ok.Name(longest);
    cLevel level;
    EXPECT_EQ(Handle(kChunkObjectBlock, ok.Bytes(), level).result, 255);
    EXPECT_EQ(std::string(level.objects.name), longest);

    for (int id : {kChunkObjectBlock, kChunkMaterialName, kChunkTextureFilename}) {
        cChunkWriter tooLong;
        tooLong.Name(std::string(255, 'x'));
        cLevel other;
        EXPECT_EQ(Handle(id, tooLong.Bytes(), other).result, -1) << std::hex << id;
        EXPECT_FALSE(other.hasObject());
        EXPECT_TRUE(other.library.materials.isFree());
    }
}

TEST(Names, NameRunningToEndOfFileFails) {
    for (int id : {kChunkObjectBlock, kChunkMaterialName, kChunkTextureFilename}) {
        cLevel level;
        const auto load = Handle(id, {'a', 'b', 'c'}, level);
        EXPECT_EQ(load.result, -1) << std::hex << id;
        EXPECT_FALSE(level.hasObject());
        EXPECT_TRUE(level.library.materials.isFree());
        EXPECT_TRUE(level.library.rasters.isFree());
    }
}

TEST(Materials, NameAddsAMaterialAndAMissingTextureOnlySaysError) {
    cModel3ds model;
    model.materials = {{"metal", {{10, 20, 30}}, "no/such/texture.bmp"}, {"glass", {{1, 2, 3}}, ""}};
    model.meshes = {Mesh("after", 3, {{0, 1, 2}})};
    cLevel level;
    const auto bytes = Bytes(model);
    const auto load = ReadBytes(bytes, level);
    EXPECT_EQ(load.result, int(bytes.size()));
    const auto lines = Lines(load.log);
    const auto at = std::find(lines.begin(), lines.end(), "  Material name: metal");
    ASSERT_NE(at, lines.end());
    EXPECT_EQ(*(at - 1), "  MaterialNameChunk");
    const auto texture = std::find(lines.begin(), lines.end(), "   Texturemap1Chunk");
    ASSERT_NE(texture, lines.end());
    EXPECT_EQ(*(texture + 1), "   TextureFilenameChunk");
    EXPECT_EQ(*(texture + 2), "Filename: no/such/texture.bmp");
    EXPECT_EQ(*(texture + 3), "Attempting load...");
    EXPECT_EQ(lines.back(), "    NumberOfFaces: 1");  // loading went on after "Error"
    EXPECT_TRUE(Contains(lines, "Error"));
    EXPECT_NE(level.library.MaterialByName("metal"), nullptr);
    EXPECT_EQ(level.library.MaterialById(2), level.library.MaterialByName("glass"));
    EXPECT_EQ(level.library.LastMaterial(), level.library.MaterialById(2));
    EXPECT_EQ(level.library.MaterialByName("wood"), nullptr);
    EXPECT_TRUE(level.library.rasters.isFree());
    EXPECT_STREQ(level.objects.name, "after");
}
