// The loader's log for a small model, line by line, leading blanks included:
// it is part of the demo's standard output.
#include <gtest/gtest.h>

#include "model3ds/chunk_reader.h"
#include "tests/support/model_files.h"

TEST(LoadLog, SmallModelLogsEveryChunkItReads) {
    cModel3ds model;
    model.materials = {{"red", {{255, 0, 0}}, ""}};
    cMesh3ds tri = modeltest::Mesh("tri", 3, {{0, 1, 2}});
    tri.mapping = {{{0, 0}}, {{1, 0}}, {{0, 1}}};
    tri.material = "red";
    cMesh3ds quad = modeltest::Mesh("quad", 4, {{0, 1, 2}, {0, 2, 4}});
    model.meshes = {tri, quad};
    const std::string path = modeltest::TempPath("small.3DS");
    ASSERT_TRUE(Save3ds(path, model));

    cLevel level;
    testing::internal::CaptureStdout();
    EXPECT_EQ(Load3DSFile(path.c_str(), level), 0);
    const std::vector<std::string> lines = modeltest::Lines(testing::internal::GetCapturedStdout());
    std::remove(path.c_str());

    const std::vector<std::string> expected = {
        path + " exists, Starting to load",
        "MainChunk",
        " VersionChunk",
        " Version: 3",
        " EditorChunk",
        "   MeshVersionChunk",
        "   MeshVersion: 3",
        "  MaterialBlockChunk",
        "  MaterialNameChunk",
        "  Material name: red",
        "  ObjectBlockChunk",
        "  Object name: tri",
        "  Adding tri to level... OK",
        "   TriangularMeshChunk",
        "    VertexListChunk",
        "    NumberOfVertexes in tri : 3",
        "    MappingCoordinatesListChunk",
        "    NumberOfMappingCoordinates: 3",
        "    FaceListChunk",
        "    NumberOfFaces: 1",
        "  ObjectBlockChunk",
        "  Object name: quad",
        "  Adding quad to level... OK",
        "   TriangularMeshChunk",
        "    VertexListChunk",
        "    NumberOfVertexes in quad : 4",
        "    FaceListChunk",
        "    NumberOfFaces: 2",
        "couldnt find all vertexes. ID's are: 1 3 5",
    };
    ASSERT_EQ(lines.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(lines[i], expected[i]) << "line " << i + 1;
}
