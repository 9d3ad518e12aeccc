// Pictures and model of the scene tests.
#include "tests/support/scene_data.h"

#include "tests/support/bmp_test_file.h"

using bmptest::cRgb;

namespace scenedata {

namespace {

cRgb Quadrants(int x, int y) {
    if (x == 0 || y == 0 || x == 63 || y == 31) return {255, 255, 255};
    const bool top = y >= 16, left = x < 32;
    if (top) return left ? cRgb{255, 0, 0} : cRgb{0, 255, 0};
    return left ? cRgb{0, 0, 255} : cRgb{255, 255, 0};
}
bool InWindow(int x, int y) { return (x - 32) * (x - 32) + (y - 32) * (y - 32) < 20 * 20; }
cRgb Mask(int x, int y) { return InWindow(x, y) ? cRgb{255, 255, 255} : cRgb{0, 0, 0}; }
cRgb Picture(int x, int y) {
    if (InWindow(x, y)) return {0, 0, 0};
    return (x / 8 + y / 8) % 2 ? cRgb{255, 140, 0} : cRgb{120, 60, 0};
}
cRgb Green(int, int) { return {0, 200, 0}; }

}  // namespace

void WritePictures(const std::string& data) {
    bmptest::WriteFile(data + "/vindelbild.bmp", bmptest::BmpBytes(64, 32, Quadrants));
    bmptest::WriteFile(data + "/mekk1.bmp", bmptest::BmpBytes(64, 64, Green));
    bmptest::WriteFile(data + "/mekkmap1.bmp", bmptest::BmpBytes(64, 64, Green));
    bmptest::WriteFile(data + "/mekk2.bmp", bmptest::BmpBytes(64, 64, Picture));
    bmptest::WriteFile(data + "/mekkmap2.bmp", bmptest::BmpBytes(64, 64, Mask));
}

cModel3ds Floor() {
    cMesh3ds left, right;
    left.name = "left";
    left.vertices = {{{-1200, -1200, 0}}, {{1200, -1200, 0}}, {{-1200, 1200, 0}}};
    left.faces = {{0, 1, 2}};
    right.name = "right";
    right.vertices = {{{1200, -1200, 0}}, {{1200, 1200, 0}}, {{-1200, 1200, 0}}};
    right.faces = {{0, 1, 2}};
    cModel3ds model;
    model.meshes = {left, right};
    return model;
}

}  // namespace scenedata
