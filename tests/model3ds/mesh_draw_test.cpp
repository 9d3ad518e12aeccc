// Mesh drawing with the recording fake GL: which calls, in which order,
// with which values, and where the walk by id stops.
#include <gtest/gtest.h>

#include "model3ds/level.h"
#include "model3ds/mesh_draw.h"
#include "tests/support/fake_gl.h"

#include <GL/gl.h>

#include <cmath>

namespace {

// Appends a vertex at (x, y, z) with texture coordinate (u, v).
cVertex* AddVertex(cObject& object, double x, double y, double z, double u = 0, double v = 0) {
    cVertex vertex;
    vertex.x = x, vertex.y = y, vertex.z = z;
    vertex.SetTexCoord(u, v);
    object.vertices.append(vertex);
    return &object.vertices.last()->element;
}

// A face over three stored vertices, inserted under the given id.
void AddFace(cObject& object, cVertex* a, cVertex* b, cVertex* c, uint16_t id) {
    cFace face;
    face.a = a, face.b = b, face.c = c;
    object.faces.insert(face, nullptr, id);
}

std::vector<std::string> OneFace() {
    return {"glBegin", "glNormal3fv", "glTexCoord2d", "glVertex3d", "glTexCoord2d", "glVertex3d",
            "glTexCoord2d", "glVertex3d", "glEnd"};
}

}  // namespace

TEST(MeshDraw, LevelWithoutObjectsIssuesNoGlCall) {
    fakegl::Reset();
    cLevel level;
    DrawLevel(level, GL_TRIANGLE_FAN);
    EXPECT_TRUE(fakegl::Calls().empty());

    level.objects.append(cObject(), "faceless");
    AddVertex(level.currentObject(), 1, 2, 3);
    DrawLevel(level, GL_TRIANGLE_FAN);
    EXPECT_TRUE(fakegl::Calls().empty());
}

TEST(MeshDraw, EachFaceIsOnePrimitiveWithNormalThenTexCoordAndVertexThreeTimes) {
    fakegl::Reset();
    cObject object;
    cVertex* a = AddVertex(object, 0, 0, 0, 0.25, 0.5);
    cVertex* b = AddVertex(object, 1, 0, 0);
    cVertex* c = AddVertex(object, 0, 1, 0, 1, 1);
    AddFace(object, a, b, c, 1);
    AddFace(object, c, a, b, 2);
    DrawObjectFaces(object, GL_TRIANGLE_FAN);

    std::vector<std::string> expected = OneFace();
    for (const std::string& name : OneFace()) expected.push_back(name);
    EXPECT_EQ(fakegl::Names(), expected) << fakegl::Trace();
    EXPECT_EQ(fakegl::CallsNamed("glBegin")[0].args, std::vector<double>{GL_TRIANGLE_FAN});

    const auto vertices = fakegl::CallsNamed("glVertex3d");
    const auto texCoords = fakegl::CallsNamed("glTexCoord2d");
    EXPECT_EQ(vertices[1].args, (std::vector<double>{1, 0, 0}));
    EXPECT_EQ(vertices[3].args, (std::vector<double>{0, 1, 0}));  // the second face starts at c
    EXPECT_EQ(texCoords[0].args, (std::vector<double>{0.25, 0.5}));
    EXPECT_EQ(texCoords[1].args, (std::vector<double>{0, 0}));  // no mapping: (0, 0)
}

TEST(MeshDraw, NormalIsTheUnitPerpendicularOfTheFace) {
    fakegl::Reset();
    cObject object;
    cVertex* a = AddVertex(object, 0, 0, 0);
    cVertex* b = AddVertex(object, 2, 0, 0);
    cVertex* c = AddVertex(object, 0, 3, 0);
    AddFace(object, a, b, c, 1);
    DrawObjectFaces(object, GL_TRIANGLES);
    const auto normal = fakegl::CallsNamed("glNormal3fv").at(0).args;
    EXPECT_EQ(normal, (std::vector<double>{0, 0, 1}));

    // A degenerate face still sends a normal, a zero one.
    fakegl::Reset();
    cObject line;
    cVertex* p = AddVertex(line, 1, 1, 1);
    AddFace(line, p, p, p, 1);
    DrawObjectFaces(line, GL_TRIANGLES);
    EXPECT_EQ(fakegl::CallsNamed("glNormal3fv").at(0).args, (std::vector<double>{0, 0, 0}));
}

TEST(MeshDraw, WalkByIdStopsAtTheFirstMissingFaceAndObject) {
    fakegl::Reset();
    cLevel level;
    level.objects.append(cObject(), "first");
    cObject& object = level.currentObject();
    cVertex* a = AddVertex(object, 0, 0, 0);
    cVertex* b = AddVertex(object, 1, 0, 0);
    cVertex* c = AddVertex(object, 0, 1, 0);
    AddFace(object, a, b, c, 1);
    AddFace(object, a, b, c, 2);
    AddFace(object, a, b, c, 4);
    // An object under id 3 after a gap at 2 is never reached.
    level.objects.insert(cObject(), "unreached", 3);
    cObject& unreached = level.currentObject();
    cVertex* u = AddVertex(unreached, 5, 5, 5);
    AddFace(unreached, u, u, u, 1);

    DrawLevel(level, GL_TRIANGLE_FAN);
    EXPECT_EQ(fakegl::Count("glBegin"), 2u);
    EXPECT_EQ(fakegl::Count("glEnd"), 2u);
}

TEST(MeshDraw, FaceWithAMissingVertexLeavesItsPrimitiveEmpty) {
    fakegl::Reset();
    cObject object;
    cVertex* a = AddVertex(object, 0, 0, 0);
    AddFace(object, a, nullptr, a, 1);
    DrawObjectFaces(object, GL_TRIANGLE_FAN);
    EXPECT_EQ(fakegl::Names(), (std::vector<std::string>{"glBegin", "glEnd"}));
}
