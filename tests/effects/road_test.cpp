// Scrolling road: Wrap, the parts of a section, the scroll offset and the
// state a frame leaves for the gears drawn after it.
#include <gtest/gtest.h>

#include "effects/road.h"

#include "tests/support/gl_replay.h"
#include "tests/support/fake_gl.h"

#include <GL/gl.h>

#include <cmath>
#include <limits>

namespace {

// Wrap by repeated subtraction, as the road's offset is defined.
double WrapBySubtraction(double v, double period) {
    while (v >= period) v -= period;
    return v;
}

}  // namespace

TEST(Road, WrapReducesByWholePeriods) {
    EXPECT_EQ(Wrap(7.5, 3), 1.5);
    EXPECT_EQ(Wrap(3, 3), 0);
    EXPECT_EQ(Wrap(-1, 3), -1);
    EXPECT_EQ(Wrap(2.97, 3), 2.97);
    // Same as subtracting one period at a time, for a run of song times.
    for (double t = 0; t < 400; t += 0.0137) EXPECT_EQ(Wrap(3 * t, 3), WrapBySubtraction(3 * t, 3)) << t;
}

TEST(Road, WrapReturnsForValuesASubtractionLoopNeverFinishes) {
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(Wrap(inf, 3), inf);
    EXPECT_EQ(Wrap(5, 0), 5);
    EXPECT_EQ(Wrap(5, -3), 5);
    const double huge = Wrap(1e300, 3);
    EXPECT_GE(huge, 0);
    EXPECT_LT(huge, 3);
    EXPECT_TRUE(std::isnan(Wrap(std::nan(""), 3)));
}

TEST(Road, SectionIsOneFloorFiveDashesAndThirtyThreeBars) {
    fakegl::Reset();
    DrawRoadSection();
    int quads = 0, loops = 0;
    for (const auto& b : fakegl::CallsNamed("glBegin")) {
        quads += b.args[0] == GL_QUADS;
        loops += b.args[0] == GL_LINE_LOOP;
    }
    // Floor, 5 dashes, 33 solid cubes; 33 wire cubes of six loops.
    EXPECT_EQ(quads, 1 + 5 + 33);
    EXPECT_EQ(loops, 33 * 6);
    EXPECT_EQ(fakegl::Count("glLineWidth"), 33u);
    EXPECT_EQ(fakegl::Count("glScalef"), 33u);

    // Dashes every 0.6 along the road.
    std::vector<double> dashes;
    for (const auto& t : fakegl::CallsNamed("glTranslatef"))
        if (t.args[0] == 0) dashes.push_back(t.args[2]);
    ASSERT_EQ(dashes.size(), 5u);
    for (int i = 0; i < 5; ++i) EXPECT_FLOAT_EQ(float(dashes[i]), float(-0.6 * i));

    // Bars every 9 degrees from 0 to 288: the arch leaves a gap under the road.
    const auto rotations = fakegl::CallsNamed("glRotatef");
    ASSERT_EQ(rotations.size(), 33u);
    for (int i = 0; i < 33; ++i) EXPECT_EQ(rotations[i].args, (std::vector<double>{9.0 * i, 0, 0, 1}));

    const glreplay::cState state = glreplay::Replay(fakegl::Calls());
    EXPECT_EQ(state.stack.size(), 1u);
    EXPECT_FALSE(state.underflow);
}

TEST(Road, BarsAreWhiteWithBlackOutlinesAndDashesSitOnTheFloor) {
    fakegl::Reset();
    DrawRoadSection();
    glreplay::Replay(fakegl::Calls(), [](const fakegl::cCall& call, const glreplay::cState& state) {
        if (call.name != "glBegin") return;
        if (call.args[0] == GL_LINE_LOOP) {
            EXPECT_EQ(state.colour, (std::array<double, 4>{0, 0, 0, 1}));
            EXPECT_EQ(state.lineWidth, 4);
        } else if (state.stack.size() > 1 && call.args[0] == GL_QUADS) {
            EXPECT_EQ(state.colour, (std::array<double, 4>{1, 1, 1, 1}));  // dashes and bar bodies
        }
    });
    const auto vertices = fakegl::CallsNamed("glVertex3f");
    // The floor at y = -0.25 from z 0 to -3; the first dash 0.0001 above it.
    EXPECT_EQ(vertices[0].args, (std::vector<double>{0.5, -0.25, 0}));
    EXPECT_FLOAT_EQ(float(vertices[2].args[2]), -3.0f);
    EXPECT_FLOAT_EQ(float(vertices[4].args[1]), -0.2499f);
}

TEST(Road, OffsetScrollsThreeUnitsPerSecondAndJumpsBack) {
    for (auto [t, offset] : {std::pair{0.0, 0.0f}, {0.99, 2.97f}, {1.0, 0.0f}, {10.5, 1.5f}}) {
        fakegl::Reset();
        cRoad road;
        road.Draw(t);
        const auto first = fakegl::CallsNamed("glTranslatef").at(0);
        EXPECT_EQ(first.args, (std::vector<double>{0, 0, offset})) << t;
    }
}

TEST(Road, LeavesFogBlackColourWidthFourAndTheMatrixMoved) {
    fakegl::Reset();
    cRoad road;
    road.Draw(0.5);
    const glreplay::cState state = glreplay::Replay(fakegl::Calls());
    EXPECT_EQ(state.stack.size(), 1u);
    const auto origin = state.Modelview().Apply(0, 0, 0);
    EXPECT_NEAR(origin[2], 1.5 - 3, 1e-6);
    EXPECT_EQ(origin[0], 0);
    EXPECT_EQ(origin[1], 0);
    EXPECT_EQ(state.colour, (std::array<double, 4>{0, 0, 0, 1}));
    EXPECT_EQ(state.lineWidth, 4);
    EXPECT_TRUE(state.Enabled(GL_FOG));
    EXPECT_EQ(state.fog.at(GL_FOG_MODE), GL_EXP);
    EXPECT_EQ(state.fog.at(GL_FOG_DENSITY), 0.75);
    EXPECT_EQ(state.fog.at(GL_FOG_END), 1);
    EXPECT_EQ(state.fog.at(GL_FOG_START), 0);
    // Only fog is switched; blending, texturing, lighting and depth stay as they were.
    EXPECT_EQ(state.enabled.size(), 1u);
    EXPECT_EQ(fakegl::Count("glBlendFunc"), 0u);
    // Nine units of road: sections at offset, offset + 3 and offset - 3.
    std::vector<double> sectionShifts;
    for (const auto& t : fakegl::CallsNamed("glTranslatef"))
        if (t.args[0] == 0 && t.args[1] == 0 && (t.args[2] == 3 || t.args[2] == -6))
            sectionShifts.push_back(t.args[2]);
    EXPECT_EQ(sectionShifts, (std::vector<double>{3, -6}));
}
