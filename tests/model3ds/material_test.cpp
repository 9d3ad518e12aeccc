// Materials: apply's option bits, a face's material going on before its
// primitive opens, and the colour sub-chunk reader.
#include <gtest/gtest.h>

#include "model3ds/color_chunk.h"
#include "model3ds/material.h"
#include "model3ds/mesh.h"
#include "model3ds/mesh_draw.h"
#include "tests/support/fake_gl.h"

#include <GL/gl.h>

#include <sstream>

TEST(Material, ApplyColourBitSetsTheFirstColourOnly) {
    fakegl::Reset();
    cMaterial material;
    material.colors[0] = {0.25f, 0.5f, 0.75f, 1.0f};
    material.colors[1] = {0, 0, 0, 0};
    material.apply(kApplyColor);
    ASSERT_EQ(fakegl::Names(), std::vector<std::string>{"glColor4fv"});
    EXPECT_EQ(fakegl::Calls()[0].args, (std::vector<double>{0.25, 0.5, 0.75, 1.0}));
}

TEST(Material, ApplyTextureBitBindsTheFirstMapOnlyOnceItHasPixels) {
    fakegl::Reset();
    cMaterial material;
    material.apply(kApplyTexture);  // no picture: texturing left as it was
    EXPECT_TRUE(fakegl::Calls().empty()) << fakegl::Trace();

    cImage picture(2, 2);
    material.maps[0].setImage(&picture);
    material.apply(0xFFFF);
    const auto names = fakegl::Names();
    ASSERT_GE(names.size(), 3u);
    EXPECT_EQ(names.front(), "glColor4fv");
    EXPECT_EQ(names[names.size() - 2], "glEnable");
    EXPECT_EQ(fakegl::Calls().back().args, (std::vector<double>{GL_TEXTURE_2D, double(material.maps[0].getName())}));
    EXPECT_EQ(fakegl::Count("glGenTextures"), 1u);

    fakegl::ClearCalls();
    material.apply(kApplyTexture);  // made once; only the binding again
    EXPECT_EQ(fakegl::Names(), (std::vector<std::string>{"glEnable", "glBindTexture"}));
}

TEST(Material, FaceMaterialIsAppliedBeforeGlBegin) {
    fakegl::Reset();
    cMaterial material;
    cObject object;
    object.vertices.append(cVertex());
    cVertex* v = &object.vertices.element;
    cFace face;
    face.a = face.b = face.c = v;
    object.faces.append(face);
    object.faces.element.material = &material;  // stored faces start without one
    DrawObjectFaces(object, GL_TRIANGLE_FAN);
    const auto names = fakegl::Names();
    ASSERT_FALSE(names.empty());
    EXPECT_EQ(names.front(), "glColor4fv");
    EXPECT_EQ(names[1], "glBegin");
}

TEST(ColorChunk, ReadsFloatAnd24BitColoursAndPutsBackAnythingElse) {
    std::string floats("\x10\x00\x12\x00\x00\x00", 6);
    for (float f : {0.5f, 0.25f, 1.0f}) floats.append(reinterpret_cast<const char*>(&f), 4);
    std::istringstream floatStream(floats);
    float rgb[3] = {};
    EXPECT_EQ(ReadColorChunk(floatStream, rgb), 18);
    EXPECT_EQ(rgb[0], 0.5f);
    EXPECT_EQ(rgb[1], 0.25f);
    EXPECT_EQ(rgb[2], 1.0f);

    std::istringstream bytes(std::string("\x11\x00\x09\x00\x00\x00\xFF\x00\x33", 9));
    EXPECT_EQ(ReadColorChunk(bytes, rgb), 9);
    EXPECT_EQ(rgb[0], 1.0f);
    EXPECT_EQ(rgb[1], 0.0f);
    EXPECT_EQ(rgb[2], 0.2f);

    std::istringstream other(std::string("\x00\xA2\x06\x00\x00\x00", 6));
    testing::internal::CaptureStdout();
    EXPECT_EQ(ReadColorChunk(other, rgb), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "M\xC4\xC4P Not a colorchunk\n");
    EXPECT_EQ(other.tellg(), 0);

    std::istringstream cut(std::string("\x12\x00\x09\x00\x00\x00\xFF", 7));
    EXPECT_EQ(ReadColorChunk(cut, rgb), -1);
}
