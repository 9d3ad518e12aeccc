// Frames of other shapes than 4:3 (a wide 1280 x 720 and a tall 600 x 800,
// and two whose 4:3 side is not a whole number of pixels and must be rounded
// to the nearest: 1000 x 602 and 602 x 1000):
// the picture is the largest centred 4:3 view with black bars around it. At
// song time 24.0 the fixed flash whitens exactly that view, wide lines stay
// out of the bars, and the beat picture overlay covers all of the view.
#include "base/gl_recreation.h"
#include "tests/support/bmp_test_file.h"
#include "tests/support/frame_render.h"
#include "tests/support/gl_context.h"
#include "timeline/scene_effects.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

namespace {

struct cShape {
    int width, height;
    int viewX, viewY, viewWidth, viewHeight;  // top-down rows
};
const cShape kShapes[] = {{1280, 720, 160, 0, 960, 720},
                          {600, 800, 0, 175, 600, 450},
                          {1000, 602, 98, 0, 803, 602},     // 802.67 wide
                          {602, 1000, 0, 274, 602, 452}};   // 451.5 tall

std::string Name(const cShape& s) { return std::to_string(s.width) + "x" + std::to_string(s.height); }

// Counts the pixels inside the view and in the bars that fail their check;
// writes the frame to pixel-out/ for looking at.
struct cMisses {
    int view = 0, bars = 0;
};
cMisses Check(const pixeltest::cFrame& frame, const cShape& s, const std::string& name,
              const std::function<bool(const uint8_t*)>& viewPixel) {
    std::filesystem::create_directory("pixel-out");
    pixeltest::WritePng("pixel-out/" + name + ".png", frame);
    cMisses misses;
    for (int y = 0; y < frame.height; ++y)
        for (int x = 0; x < frame.width; ++x) {
            const uint8_t* p = &frame.rgb[(size_t(y) * frame.width + x) * 3];
            const bool inView = x >= s.viewX && x < s.viewX + s.viewWidth && y >= s.viewY && y < s.viewY + s.viewHeight;
            if (inView && !viewPixel(p)) ++misses.view;
            if (!inView && p[0] + p[1] + p[2] != 0) ++misses.bars;
        }
    return misses;
}

bool White(const uint8_t* p) { return p[0] >= 254 && p[1] >= 254 && p[2] >= 254; }

TEST(ViewShape, FlashAt24WhitensTheViewAndTheBarsStayBlack) {
    for (const cShape& s : kShapes) {
        pixeltest::cTestContext gl(s.width, s.height);
        ASSERT_TRUE(gl.ok()) << gl.error();
        pixeltest::SetUpDemoGL(s.width, s.height);
        // Order 1 draws the flash alone on the cleared frame.
        pixeltest::RenderFrameAt(24.0, 0.0, 0, 1);
        std::string name = "flash_" + Name(s);
        cMisses m = Check(gl.ReadBack(), s, name, White);
        EXPECT_EQ(m.view, 0) << name << ": pixels of the view not white";
        EXPECT_EQ(m.bars, 0) << name << ": pixels of the bars not black";
        // Order 10: the tunnel and the cube rings, whose 6-pixel lines reach
        // past the edges of the viewport; the bars stay black all the same.
        pixeltest::RenderFrameAt(24.0, 0.0, 0, 10);
        name = "rings_" + Name(s);
        m = Check(gl.ReadBack(), s, name, [](const uint8_t*) { return true; });
        EXPECT_EQ(m.bars, 0) << name << ": pixels of the bars not black";
    }
}

// Pair 2 (even beat counts): a mask that blacks out everything and a plain
// orange picture, so wherever the overlay lies the frame is orange.
bmptest::cRgb Black(int, int) { return {0, 0, 0}; }
bmptest::cRgb Orange(int, int) { return {255, 140, 0}; }
bool IsOrange(const uint8_t* p) { return p[0] >= 250 && p[1] >= 135 && p[1] <= 145 && p[2] == 0; }

TEST(ViewShape, OverlayCoversTheWholeView) {
    const std::string folder = MakeScratchDirectory();
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::create_directory(folder + "/Data");
    bmptest::WriteFile(folder + "/Data/mekk1.bmp", bmptest::BmpBytes(16, 16, Black));
    bmptest::WriteFile(folder + "/Data/mekkmap1.bmp", bmptest::BmpBytes(16, 16, Black));
    bmptest::WriteFile(folder + "/Data/mekk2.bmp", bmptest::BmpBytes(16, 16, Orange));
    bmptest::WriteFile(folder + "/Data/mekkmap2.bmp", bmptest::BmpBytes(16, 16, Black));
    std::filesystem::current_path(folder);

    bool prepared = false;
    for (const cShape& s : kShapes) {
        pixeltest::cTestContext gl(s.width, s.height);
        ASSERT_TRUE(gl.ok()) << gl.error();
        pixeltest::SetUpDemoGL(s.width, s.height);
        ::testing::internal::CaptureStdout();
        if (!prepared) PrepareEffects();
        else RecreateGlObjects();  // a new, unshared context
        ::testing::internal::GetCapturedStdout();
        prepared = true;
        // Order 6 is composition 4: the bulging tunnel under the overlay.
        pixeltest::RenderFrameAt(30.0, 10.0, 2, 6);
        const std::string name = "overlay_" + Name(s);
        std::filesystem::current_path(previous);
        const cMisses m = Check(gl.ReadBack(), s, name, IsOrange);
        std::filesystem::current_path(folder);
        EXPECT_EQ(m.view, 0) << name << ": pixels of the view not covered by the overlay";
        EXPECT_EQ(m.bars, 0) << name << ": pixels of the bars not black";
    }
    std::filesystem::current_path(previous);
    RemoveDirectory(folder);
}

}  // namespace
