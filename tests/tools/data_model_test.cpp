// The generated model loads through the demo's own 3DS reader, run from the
// build directory as the demo is: no error line, its texture found, and the
// objects, counts and mapping the generator meant, at the size the model
// scene needs.
#include "base/data_files.h"
#include "model3ds/chunk_reader.h"
#include "model3ds/level.h"
#include "tools/model_mesh.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>

namespace {

struct cLoadedModel {
    cLevel level;
    std::string log;
    int result = -2;
};

// Loads the model as the demo does, from the working directory (the build
// directory, set by CTest).
void LoadModel(cLoadedModel& m) {
    ::testing::internal::CaptureStdout();
    m.result = Load3DSFile(kModelFile, m.level);
    m.log = ::testing::internal::GetCapturedStdout();
}

}  // namespace

TEST(DataModel, LoadsWithoutErrorLinesAndFindsItsTexture) {
    cLoadedModel m;
    LoadModel(m);
    EXPECT_EQ(m.result, 0);
    std::istringstream lines(m.log);
    std::string line;
    bool attempting = false, textureLoaded = false;
    while (std::getline(lines, line)) {
        for (const char* bad : {"ERROR", "Error", "couldnt find", "could not find", "eof", "does not exist"})
            EXPECT_EQ(line.find(bad), std::string::npos) << line;
        // The registry's copy lines may come between the attempt and its verdict.
        if (line == "Attempting load...") attempting = true;
        if (attempting && line == "OK") textureLoaded = true, attempting = false;
    }
    EXPECT_NE(m.log.find(std::string("Filename: ") + kModelTexture), std::string::npos);
    EXPECT_TRUE(textureLoaded) << m.log.substr(0, 2000);
}

TEST(DataModel, ObjectsCountsAndMappingAreWhatTheGeneratorMeant) {
    const cModel3ds meant = MakeRongert(kModelTexture);
    ASSERT_GE(meant.meshes.size(), 2u);
    cLoadedModel m;
    LoadModel(m);
    size_t faces = 0;
    for (size_t k = 0; k < meant.meshes.size(); ++k) {
        const cMesh3ds& mesh = meant.meshes[k];
        const uint16_t id = uint16_t(k + 1);
        ASSERT_TRUE(m.level.objects.containsId(id)) << mesh.name;
        auto* node = m.level.objects.findId(id);
        ASSERT_NE(node->name, nullptr);
        EXPECT_EQ(std::string(node->name), mesh.name);
        cObject& object = node->element;
        size_t vertices = 0;
        while (object.vertices.containsId(uint16_t(vertices + 1))) {
            const cVertex& v = object.vertices.findId(uint16_t(vertices + 1))->element;
            // The reader swaps the file's y and z; mapping is kept as written.
            const auto& p = mesh.vertices[vertices];
            ASSERT_FLOAT_EQ(float(v.x), p[0]);
            ASSERT_FLOAT_EQ(float(v.y), p[2]);
            ASSERT_FLOAT_EQ(float(v.z), p[1]);
            ASSERT_FLOAT_EQ(float(v.u), mesh.mapping[vertices][0]);
            ASSERT_FLOAT_EQ(float(v.v), mesh.mapping[vertices][1]);
            ++vertices;
        }
        EXPECT_EQ(vertices, mesh.vertices.size()) << mesh.name;
        size_t objectFaces = 0;
        while (object.faces.containsId(uint16_t(objectFaces + 1))) ++objectFaces;
        EXPECT_EQ(objectFaces, mesh.faces.size()) << mesh.name;
        faces += objectFaces;
    }
    EXPECT_FALSE(m.level.objects.containsId(uint16_t(meant.meshes.size() + 1)));
    EXPECT_GE(faces, 3000u) << "several thousand faces";
}

// The model scene scales by 0.005 and lands the model 2 units deep on each
// beat (orders 14 to 15); there it should fill about half the view's height.
TEST(DataModel, FillsAboutHalfTheViewAtTheBeatDepth) {
    const cModel3ds model = MakeRongert(kModelTexture);
    double radius = 0;
    for (const cMesh3ds& mesh : model.meshes)
        for (const auto& p : mesh.vertices)
            radius = std::fmax(radius, std::sqrt(double(p[0]) * p[0] + double(p[1]) * p[1] + double(p[2]) * p[2]));
    const double viewHeight = 2 * 2.0 * std::tan(65.0 / 2 * 3.14159265358979 / 180);
    const double share = 2 * radius * 0.005 / viewHeight;
    EXPECT_GT(share, 0.4);
    EXPECT_LT(share, 0.65);
}
