// SolidCube and WireCube: nothing for size 0, closed faces on the cube's
// surface otherwise, in the shared face order.
#include <gtest/gtest.h>

#include "effects/cube_shapes.h"

#include "tests/support/fake_gl.h"

#include <GL/gl.h>

#include <array>
#include <cmath>
#include <set>

namespace {

using cCorner = std::array<double, 3>;

// The axis (0, 1, 2) and sign every corner of a face shares; -1 if none.
std::pair<int, double> FacePlane(const std::vector<cCorner>& corners) {
    for (int axis = 0; axis < 3; ++axis) {
        bool same = true;
        for (const cCorner& c : corners) same = same && c[axis] == corners[0][axis];
        if (same) return {axis, corners[0][axis]};
    }
    return {-1, 0};
}

std::vector<std::vector<cCorner>> Faces(size_t perFace) {
    std::vector<std::vector<cCorner>> faces;
    const auto vertices = fakegl::CallsNamed("glVertex3f");
    for (size_t i = 0; i < vertices.size(); ++i) {
        if (i % perFace == 0) faces.emplace_back();
        faces.back().push_back({vertices[i].args[0], vertices[i].args[1], vertices[i].args[2]});
    }
    return faces;
}

// The shared face order: front, back, top, bottom, right, left.
const std::pair<int, double> kOrder[6] = {{2, 1}, {2, -1}, {1, 1}, {1, -1}, {0, 1}, {0, -1}};

// Consecutive corners of a loop differ in one coordinate: the outline runs
// along edges, never across a diagonal.
void ExpectAlongEdges(const std::vector<cCorner>& face) {
    std::set<cCorner> distinct(face.begin(), face.end());
    EXPECT_EQ(distinct.size(), 4u);
    for (size_t i = 0; i < 4; ++i) {
        const cCorner& a = face[i];
        const cCorner& b = face[(i + 1) % 4];
        EXPECT_EQ((a[0] != b[0]) + (a[1] != b[1]) + (a[2] != b[2]), 1) << "corner " << i;
    }
}

}  // namespace

TEST(CubeShapes, SizeZeroIssuesNoCallAtAll) {
    fakegl::Reset();
    SolidCube(0);
    WireCube(0);
    EXPECT_TRUE(fakegl::Calls().empty()) << fakegl::Trace();
}

TEST(CubeShapes, SolidCubeIsSixFacesOnTheSurfaceInOneQuadsPrimitive) {
    fakegl::Reset();
    SolidCube(0.5);
    EXPECT_EQ(fakegl::Names().front(), "glPushMatrix");
    EXPECT_EQ(fakegl::Names().back(), "glPopMatrix");
    ASSERT_EQ(fakegl::Count("glBegin"), 1u);
    EXPECT_EQ(fakegl::CallsNamed("glBegin")[0].args[0], GL_QUADS);
    const auto faces = Faces(4);
    ASSERT_EQ(faces.size(), 6u);
    for (int f = 0; f < 6; ++f) {
        SCOPED_TRACE(f);
        EXPECT_EQ(FacePlane(faces[f]), (std::pair<int, double>{kOrder[f].first, kOrder[f].second * 0.25}));
        for (const cCorner& c : faces[f])
            for (double v : c) EXPECT_EQ(std::fabs(v), 0.25);
        ExpectAlongEdges(faces[f]);
    }
    // Five faces set their outward normal; the front one takes what is current.
    const auto normals = fakegl::CallsNamed("glNormal3f");
    ASSERT_EQ(normals.size(), 5u);
    for (int f = 1; f < 6; ++f) {
        std::vector<double> outward{0, 0, 0};
        outward[kOrder[f].first] = kOrder[f].second;
        EXPECT_EQ(normals[f - 1].args, outward);
    }
    EXPECT_EQ(fakegl::Count("glTexCoord2f"), 20u);
}

TEST(CubeShapes, WireCubeIsSixFaceOutlines) {
    fakegl::Reset();
    WireCube(1);
    const auto begins = fakegl::CallsNamed("glBegin");
    ASSERT_EQ(begins.size(), 6u);
    for (const auto& b : begins) EXPECT_EQ(b.args[0], GL_LINE_LOOP);
    EXPECT_EQ(fakegl::Count("glPushMatrix"), 1u);
    EXPECT_EQ(fakegl::Count("glPopMatrix"), 1u);
    const auto faces = Faces(4);
    ASSERT_EQ(faces.size(), 6u);
    for (int f = 0; f < 6; ++f) {
        SCOPED_TRACE(f);
        EXPECT_EQ(FacePlane(faces[f]), (std::pair<int, double>{kOrder[f].first, kOrder[f].second * 0.5}));
        ExpectAlongEdges(faces[f]);
    }
    // Colour and width are the caller's.
    EXPECT_EQ(fakegl::Count("glColor3f") + fakegl::Count("glColor4f") + fakegl::Count("glLineWidth"), 0u);
}
