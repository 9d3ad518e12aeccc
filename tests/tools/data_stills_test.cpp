// Stills of the intro and of every composition with the generated Data/,
// drawn through the real DrawFrame under Xvfb and written to stills/ in the
// build directory for looking at. The checks hold what the pictures were
// designed for: the title reads in every light of the intro, and the
// overlay's machinery stands alone where its masks are black.
#include "image/bmp_reader.h"
#include "tests/support/frame_render.h"
#include "tests/support/gl_context.h"
#include "timeline/scene_effects.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <sys/stat.h>

namespace {

constexpr double kFps = 60;

struct cLit {
    int count = 0;            // pixels with a channel above 128
    int blue = 0, full = 0;   // of those: blue only, and lit in more than blue
    double meanX = 0;
};

cLit Measure(const pixeltest::cFrame& f) {
    cLit lit;
    for (int y = 0; y < f.height; ++y)
        for (int x = 0; x < f.width; ++x) {
            const uint8_t* p = &f.rgb[(size_t(y) * f.width + x) * 3];
            if (std::max({p[0], p[1], p[2]}) <= 128) continue;
            ++lit.count;
            lit.meanX += x;
            if (p[2] > p[0] + 60) ++lit.blue;
            if (p[0] > 80 && p[1] > 80) ++lit.full;
        }
    if (lit.count) lit.meanX /= lit.count;
    return lit;
}

void Save(const std::string& name, const pixeltest::cFrame& frame) {
    mkdir("stills", 0755);
    EXPECT_TRUE(pixeltest::WritePng("stills/" + name + ".png", frame)) << name;
}

// Share of pixels whose colour differs from the frame's top-left pixel by
// more than a little: a frame with a scene on it is far from flat.
double Busy(const pixeltest::cFrame& f) {
    int busy = 0;
    for (size_t i = 0; i < f.rgb.size(); i += 3)
        if (std::abs(f.rgb[i] - f.rgb[0]) + std::abs(f.rgb[i + 1] - f.rgb[1]) + std::abs(f.rgb[i + 2] - f.rgb[2]) > 24)
            ++busy;
    return double(busy) / (f.rgb.size() / 3);
}

class DataStills : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        gl = new pixeltest::cTestContext;
        if (!gl->ok()) return;
        pixeltest::SetUpDemoGL();
        PrepareEffects();
    }
    static void TearDownTestSuite() {
        delete gl;
        gl = nullptr;
    }
    static pixeltest::cTestContext* gl;
};
pixeltest::cTestContext* DataStills::gl = nullptr;

}  // namespace

// The intro runs frame by frame (its light winds down per frame), at 60 fps.
TEST_F(DataStills, TitleReadsInWhiteLightStrobeAndBlue) {
    ASSERT_TRUE(gl->ok()) << gl->error();
    const struct {
        double t;
        const char* name;
    } shots[] = {{1.0, "intro_1.0s"}, {2.5, "intro_2.5s"}, {4.5, "intro_4.5s_strobe_a"},
                 {4.5 + 1 / kFps, "intro_4.5s_strobe_b"}, {6.0, "intro_6.0s"}, {7.6, "intro_7.6s"}};
    cLit lit[6];
    size_t next = 0;
    for (int frame = 0; next < 6; ++frame) {
        const double t = frame / kFps;
        pixeltest::RenderFrameAt(t, 0, 0, 0);
        if (t + 1e-9 >= shots[next].t) {
            const pixeltest::cFrame f = gl->ReadBack();
            Save(shots[next].name, f);
            lit[next++] = Measure(f);
        }
    }
    const int frame = 800 * 600;
    // Lettering and rules cover a few percent of the view; no more, or it
    // would be a blot rather than letters.
    for (int k : {1, 2, 3, 4}) {
        EXPECT_GT(lit[k].count, frame / 50) << shots[k].name;
        EXPECT_LT(lit[k].count, frame / 4) << shots[k].name;
    }
    // The strobe flips the light every frame: one of two frames blue, the
    // other white, and the title is there in both: in blue alone, and in
    // its own colours.
    EXPECT_GT(std::max(lit[2].blue, lit[3].blue), frame / 50);
    EXPECT_GT(std::max(lit[2].full, lit[3].full), frame / 50);
    // After seven seconds the picture slides off to the right.
    EXPECT_GT(lit[5].meanX, 0.6 * 800);
}

TEST_F(DataStills, EveryCompositionWithTheRealData) {
    ASSERT_TRUE(gl->ok()) << gl->error();
    // Order, song time, time of the last beat, beat count. Where the model is
    // on screen, the times catch it facing the view as the beat's flash fades.
    const struct {
        const char* name;
        int order;
        double t, beat;
        int count;
    } shots[] = {
        {"comp1_order2_tunnel", 2, 15.0, 14.55, 9},
        {"comp2_order3_road", 3, 21.0, 20.5, 16},
        {"comp3_order4_gears", 4, 28.45, 28.0, 24},
        {"comp4_order6_overlay_porthole", 6, 42.0, 41.5, 41},
        {"comp4_order7_overlay_racks", 7, 44.0, 43.5, 42},
        {"comp5_order10_cube_rings", 10, 58.0, 57.5, 60},
        {"comp6_order14_rings_model", 14, 72.04, 71.72, 80},
        {"comp7_order16_rings_model", 16, 88.94, 88.62, 100},
        {"cycle_order18_comp1_porthole", 18, 105.0, 104.5, 120 * 7 + 1},
        {"cycle_order21_comp6_racks", 21, 130.98, 130.66, 120 * 7 + 6},
        {"cycle_order18_comp7_porthole", 18, 107.42, 107.0, 120 * 7 + 7},
    };
    for (const auto& s : shots) {
        pixeltest::RenderFrameAt(s.t, s.beat, s.count, s.order);
        const pixeltest::cFrame f = gl->ReadBack();
        Save(s.name, f);
        EXPECT_GT(Busy(f), 0.2) << s.name << " looks empty";
    }
}

// Where a mask is black the overlay's picture stands alone: the frame's
// corners show the picture's own texels there, whatever scene is under it.
TEST_F(DataStills, OverlayCornersShowThePictureAlone) {
    ASSERT_TRUE(gl->ok()) << gl->error();
    for (int count : {120 * 7 + 1, 120 * 7 + 2, 120 * 7 + 3}) {
        const char* file = (count % 2) ? "Data/mekk1.bmp" : "Data/mekk2.bmp";
        ::testing::internal::CaptureStdout();
        std::unique_ptr<cRaster> picture(loadBmp(file));
        ::testing::internal::GetCapturedStdout();
        ASSERT_TRUE(picture);
        pixeltest::RenderFrameAt(110.0, 109.0, count, 19);
        const pixeltest::cFrame f = gl->ReadBack();
        for (const auto& corner : {std::pair<int, int>{12, 12}, {787, 12}, {12, 587}, {787, 587}}) {
            // Frame pixel -> point on the overlay quad at depth 0.75 (65 degree
            // view, 4:3) -> texel of the 1.4 x 1 quad, rows sampled up to 0.99.
            const double halfH = 0.75 * std::tan(32.5 * 3.14159265358979 / 180), halfW = halfH * 4 / 3;
            const double qx = -halfW + (corner.first + 0.5) / 800 * 2 * halfW;
            const double qy = halfH - (corner.second + 0.5) / 600 * 2 * halfH;
            const int tx = int((qx + 0.7) / 1.4 * picture->sizeX);
            const int ty = int((qy + 0.5) * 0.99 * picture->sizeY);
            const uint8_t* want = picture->data + (size_t(ty) * picture->sizeX + tx) * 3;
            const uint8_t* got = &f.rgb[(size_t(corner.second) * 800 + corner.first) * 3];
            for (int c = 0; c < 3; ++c)
                EXPECT_NEAR(got[c], want[c], 40) << file << " at frame pixel " << corner.first << "," << corner.second;
        }
    }
}
