// Test models and capturing loads.
#include "tests/support/model_files.h"

#include <gtest/gtest.h>

#include "model3ds/chunk_reader.h"

#include <sstream>
#include <unistd.h>

namespace modeltest {

cMesh3ds Mesh(const std::string& name, int vertexCount, std::vector<cFace3ds> faces) {
    cMesh3ds mesh;
    mesh.name = name;
    for (int i = 0; i < vertexCount; ++i) mesh.vertices.push_back({{float(i), float(2 * i), float(3 * i)}});
    mesh.faces = std::move(faces);
    return mesh;
}

std::vector<uint8_t> Bytes(const cModel3ds& model) {
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(Write3ds(model, bytes));
    return bytes;
}

cLoad ReadBytes(const std::vector<uint8_t>& bytes, cLevel& level) {
    std::istringstream stream(std::string(bytes.begin(), bytes.end()));
    cLoad load;
    testing::internal::CaptureStdout();
    load.result = ReadChunk(stream, level);
    load.log = testing::internal::GetCapturedStdout();
    return load;
}

std::vector<std::string> Lines(const std::string& log) {
    std::vector<std::string> lines;
    std::istringstream in(log);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::string TempPath(const std::string& name) {
    const char* dir = std::getenv("TMPDIR");
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    return std::string(dir ? dir : "/tmp") + "/vk_" + std::to_string(getpid()) + "_" +
           (test ? std::string(test->name()) + "_" : "") + name;
}

}  // namespace modeltest
