// Cube rings: the number of cubes, the size wave, the tumble, the depths of
// the three passes and the state a frame leaves.
#include <gtest/gtest.h>

#include "effects/cube_rings.h"

#include "tests/support/gl_replay.h"
#include "tests/support/fake_gl.h"

#include <GL/gl.h>

#include <cmath>
#include <map>

TEST(CubeRings, FrameDrawsOneHundredTwentySolidAndWireCubes) {
    fakegl::Reset();
    cCubeRings rings;
    rings.Draw(1.3);
    size_t solid = 0, loops = 0;
    for (const auto& b : fakegl::CallsNamed("glBegin")) {
        solid += b.args[0] == GL_QUADS;
        loops += b.args[0] == GL_LINE_LOOP;
    }
    EXPECT_EQ(solid, 120u);
    EXPECT_EQ(loops, 120u * 6);
}

TEST(CubeRings, SizeWaveAtTheStart) {
    EXPECT_DOUBLE_EQ(CubeSize(0, 0), 0.3);
    EXPECT_DOUBLE_EQ(CubeSize(18, 0), std::sin(28.662420382165603 * 18) / 5 + 0.3);
    EXPECT_DOUBLE_EQ(CubeSize(18, 1), std::sin(28.662420382165603 * 18 + 3) / 5 + 0.3);
    for (double a = 0; a < 360; a += 0.7) {
        EXPECT_GE(CubeSize(a, a / 7), 0.1 - 1e-12);
        EXPECT_LE(CubeSize(a, a / 7), 0.5 + 1e-12);
    }
}

TEST(CubeRings, CubesSitOnTheRingsAtTwoDepthsWithTheirSizesAndTumble) {
    for (double t : {0.0, 0.8}) {
        SCOPED_TRACE(t);
        fakegl::Reset();
        cCubeRings rings;
        rings.Draw(t);
        // Per solid cube: its centre in eye space and its edge (twice a corner's x).
        std::map<double, int> depths;
        std::vector<double> sizes;
        glreplay::Replay(fakegl::Calls(), [&](const fakegl::cCall& call, const glreplay::cState& state) {
            if (call.name == "glBegin" && call.args[0] == GL_QUADS) {
                const auto centre = state.Modelview().Apply(0, 0, 0);
                EXPECT_NEAR(std::hypot(centre[0], centre[1]), 1, 1e-6);
                ++depths[std::round(centre[2] * 1000) / 1000];
                // Drawn in the translucent body colour.
                EXPECT_EQ(state.colour, (std::array<double, 4>{0, 0, 1, 0.1f}));
            }
        });
        // Passes 0 and 1 at the same depth, pass 2 0.4 behind.
        EXPECT_EQ(depths, (std::map<double, int>{{-1.9, 40}, {-1.5, 80}}));

        const auto vertices = fakegl::CallsNamed("glVertex3f");
        for (size_t cube = 0; cube < 120; ++cube) sizes.push_back(-2 * vertices[cube * (24 + 24)].args[0]);
        const double u = 2 * t;
        for (int pass = 0; pass < 3; ++pass)
            for (int i = 0; i < 20; ++i) {
                EXPECT_FLOAT_EQ(float(sizes[pass * 40 + i]), float(CubeSize(18.0 * i, +u)));
                EXPECT_FLOAT_EQ(float(sizes[pass * 40 + 20 + i]), float(CubeSize(18.0 * i, -u)));
            }
        // Tumble about the tangent always runs with +u.
        std::vector<double> tumble;
        for (const auto& r : fakegl::CallsNamed("glRotatef"))
            if (r.args[2] == 1) tumble.push_back(r.args[0]);
        ASSERT_EQ(tumble.size(), 120u);
        for (int i = 0; i < 120; ++i) EXPECT_FLOAT_EQ(float(tumble[i]), float(std::sin(u + 18.0 * (i % 20) / 30) * 90));
        if (t == 0) {
            EXPECT_EQ(tumble[0], 0);
            EXPECT_NEAR(tumble[1], 50.8, 0.05);
        }
    }
}

TEST(CubeRings, OutlinesAreBrightBlueAndTheFrameLeavesAdditiveBlendingOn) {
    fakegl::Reset();
    glTranslatef(0, 0, -3);
    cCubeRings rings;
    rings.Draw(2);
    const glreplay::cState state = glreplay::Replay(fakegl::Calls(), [](const fakegl::cCall& call, const glreplay::cState& s) {
        if (call.name == "glBegin" && call.args[0] == GL_LINE_LOOP) {
            EXPECT_EQ(s.colour, (std::array<double, 4>{0.1f, 0.1f, 1, 1}));
            EXPECT_EQ(s.lineWidth, 6);
            EXPECT_FALSE(s.Enabled(GL_DEPTH_TEST));
        }
    });
    EXPECT_EQ(state.stack.size(), 1u);
    EXPECT_FALSE(state.underflow);
    EXPECT_EQ(state.Modelview().Apply(0, 0, 0), (std::array<double, 3>{0, 0, -3}));
    EXPECT_FALSE(state.Enabled(GL_DEPTH_TEST));
    EXPECT_EQ(state.enabled.count(GL_DEPTH_TEST), 1u);  // switched off, not just untouched
    EXPECT_TRUE(state.Enabled(GL_BLEND));
    EXPECT_EQ(state.blendSource, GL_SRC_ALPHA);
    EXPECT_EQ(state.blendDestination, GL_DST_ALPHA);
    EXPECT_EQ(state.colour, (std::array<double, 4>{0, 0, 1, 0.1f}));
    EXPECT_EQ(state.lineWidth, 6);
}
