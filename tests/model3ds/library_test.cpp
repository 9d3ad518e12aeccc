// The library: texture files loaded once into the raster registry with the
// image code's log lines, and the lookups by id, name and last.
#include <gtest/gtest.h>

#include "model3ds/level.h"
#include "tests/support/bmp_test_file.h"
#include "tests/support/model_files.h"

using modeltest::Lines;

namespace {

class Library : public testing::Test {
protected:
    void SetUp() override {
        folder = MakeScratchDirectory();
        texture = folder + "/stone.bmp";
        bmptest::WriteFile(texture, bmptest::BmpBytes(3, 2, bmptest::Distinct));
    }
    void TearDown() override { RemoveDirectory(folder); }

    std::string folder, texture;
};

// The image copy constructor's lines for a picture with a raster.
std::vector<std::string> CopyLines() {
    return {"goddagens", "rhs har iaf ett raster", "mitt raster heter: 0", "finns inget raster, g\xF6r ett",
            "det skall tydligen ha g\xE5tt ganska bra", "tilldelening av sizeX \xE5 size Y", "kopiera rasterdata"};
}

}  // namespace

TEST_F(Library, TextureFileIsRegisteredOnceUnderItsName) {
    cModel3ds model;
    model.materials = {{"first", {{1, 2, 3}}, texture}, {"second", {{1, 2, 3}}, texture}};
    cLevel level;
    const auto load = modeltest::ReadBytes(modeltest::Bytes(model), level);
    const auto lines = Lines(load.log);

    // The first material loads the picture: "här?", the copy into the
    // registry, the temporaries dying, then the verdict.
    auto at = std::find(lines.begin(), lines.end(), "Filename: " + texture);
    ASSERT_NE(at, lines.end());
    EXPECT_EQ(*++at, "Attempting load...");
    EXPECT_EQ(*++at, "h\xE4r?");
    // One block of copy lines per copy on the way into the registry, then
    // one "nu dör jag" per copy and one for the local image.
    int copies = 0;
    for (; *(at + 1) == "goddagens"; ++copies)
        for (const std::string& line : CopyLines()) EXPECT_EQ(*++at, line);
    EXPECT_GE(copies, 1);
    for (int i = 0; i < copies + 1; ++i) EXPECT_EQ(*++at, "nu d\xF6r jag");
    EXPECT_EQ(*++at, "OK");
    // The second names the same file: refused without reading it.
    at = std::find(at, lines.end(), "Filename: " + texture);
    ASSERT_NE(at, lines.end());
    EXPECT_EQ(*(at + 1), "Attempting load...");
    EXPECT_EQ(*(at + 2), "Raster does already exist");
    EXPECT_EQ(*(at + 3), "nu d\xF6r jag");
    EXPECT_EQ(*(at + 4), "Error");

    cImage* image = level.library.RasterByName(texture.c_str());
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->getSizeX(), 3);
    EXPECT_EQ(image->getSizeY(), 2);
    EXPECT_EQ(level.library.RasterById(1), image);
    EXPECT_EQ(level.library.RasterById(2), nullptr);
    EXPECT_EQ(level.library.LastRaster(), image);
}

TEST_F(Library, MissingFileLeavesTheRegistryEmptyAndTheNextLoadGetsIdOne) {
    cLibrary library;
    testing::internal::CaptureStdout();
    EXPECT_EQ(library.LoadRaster((folder + "/missing.bmp").c_str()), -1);
    EXPECT_TRUE(library.rasters.isFree());
    EXPECT_EQ(library.LoadRaster(texture.c_str()), 1);
    EXPECT_EQ(library.LoadRaster(texture.c_str()), 0);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(library.rasters.id, 1);
    EXPECT_STREQ(library.rasters.name, texture.c_str());
    EXPECT_EQ(library.rasters.next, nullptr);
}

TEST_F(Library, LookupsOfAbsentEntriesAreNull) {
    cLibrary library;
    EXPECT_EQ(library.RasterById(1), nullptr);
    EXPECT_EQ(library.RasterByName("x"), nullptr);
    EXPECT_EQ(library.MaterialById(0), &library.materials.element);  // the free head carries id 0
    EXPECT_EQ(library.MaterialById(1), nullptr);
    EXPECT_EQ(library.AddMaterial("m"), 1);
    EXPECT_EQ(library.MaterialById(1), library.MaterialByName("m"));
    EXPECT_EQ(library.MaterialByName(nullptr), nullptr);
}
