// Wave tunnel: the tube drawn from arrays, its colours and radii, no display
// list across frames and contexts, and the state a frame leaves.
#include <gtest/gtest.h>

#include "effects/wave_tunnel.h"

#include "base/gl_recreation.h"
#include "tests/support/gl_replay.h"
#include "tests/support/fake_gl.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

namespace {

constexpr size_t kFans = 250;

// The immediate-mode calls an array draw stands for, of every draw in the record.
std::vector<fakegl::cCall> FetchedVertices(const std::string& name) {
    std::vector<fakegl::cCall> out;
    for (const fakegl::cCall& call : fakegl::ExpandedCalls())
        if (call.name == name) out.push_back(call);
    return out;
}

}  // namespace

TEST(WaveTunnel, DrawsTwoHundredFiftyFansOfFourColouredVerticesInEachHalf) {
    fakegl::Reset();
    cWaveTunnel tunnel;
    tunnel.DrawFogged(3.0);
    const std::vector<fakegl::cCall> draws = fakegl::CallsNamed("glDrawArrays");
    ASSERT_EQ(draws.size(), 2 * kFans);
    for (size_t i = 0; i < draws.size(); ++i) {
        EXPECT_EQ(draws[i].args, (std::vector<double>{GL_TRIANGLE_FAN, double(4 * (i % kFans)), 4}));
        // Every vertex has its texture coordinate and its own colour.
        const std::vector<fakegl::cCall>& fetched = draws[i].fetched;
        ASSERT_EQ(fetched.size(), 2u + 4 * 3);
        for (size_t v = 0; v < 4; ++v) {
            EXPECT_EQ(fetched[1 + 3 * v].name, "glTexCoord2f");
            EXPECT_EQ(fetched[2 + 3 * v].name, "glColor3f");
            EXPECT_EQ(fetched[3 + 3 * v].name, "glVertex3f");
        }
        // The second half draws the very vertices of the first.
        if (i >= kFans) {
            EXPECT_EQ(fetched[3].args, draws[i - kFans].fetched[3].args);
        }
    }
    EXPECT_EQ(draws[0].fetched[1].args, (std::vector<double>{0, 1}));
    EXPECT_EQ(draws[0].fetched[4].args, (std::vector<double>{1, 0}));
    // Each half turns the tube onto the view axis and restores the matrix.
    EXPECT_EQ(fakegl::Count("glPushMatrix"), 2u);
    EXPECT_EQ(fakegl::Count("glPopMatrix"), 2u);
    for (const auto& rotation : fakegl::CallsNamed("glRotatef"))
        EXPECT_EQ(rotation.args, (std::vector<double>{90, 1, 0, 0}));
}

TEST(WaveTunnel, RecordsNoDisplayListAndDrawsTheTubeTwicePerFrame) {
    fakegl::Reset();
    cWaveTunnel fogged, bulging;
    for (int frame = 0; frame < 10; ++frame) {
        fogged.DrawFogged(frame * 0.1);
        bulging.DrawBulging(frame * 0.1);
    }
    // Re-recording a list every frame leaks inside Mesa; nothing is recorded.
    for (const char* name : {"glGenLists", "glNewList", "glEndList", "glCallList"}) EXPECT_EQ(fakegl::Count(name), 0u);
    EXPECT_EQ(fakegl::Count("glDrawArrays"), 10 * 2 * 2 * kFans);
    // The client-side array state is handed back as it was found.
    EXPECT_EQ(fakegl::Count("glPushClientAttrib"), 10 * 2 * 2u);
    EXPECT_EQ(fakegl::Count("glPopClientAttrib"), 10 * 2 * 2u);
    EXPECT_EQ(fakegl::CallsNamed("glPushClientAttrib").at(0).args, std::vector<double>{GL_CLIENT_VERTEX_ARRAY_BIT});
}

TEST(WaveTunnel, RadiusAAndItsBlueAtTheStart) {
    fakegl::Reset();
    cWaveTunnel tunnel;
    tunnel.SetTime(0);
    const cWaveTunnel::cPoint point = tunnel.RadiusA(0, 0);
    EXPECT_FLOAT_EQ(point.radius, 0.225f);
    EXPECT_NEAR(point.blue, 2 * std::cos(1.0) / 5 + 1, 1e-6);
    EXPECT_NEAR(point.blue, 1.216, 0.001);
    // A vertex takes exactly that colour, blue only.
    tunnel.BuildRevolution(1, 1, 1, &cWaveTunnel::RadiusA, GL_TRIANGLE_FAN);
    tunnel.DrawSurface();
    const std::vector<double> colour = FetchedVertices("glColor3f").at(0).args;
    EXPECT_EQ(colour[0], 0);
    EXPECT_EQ(colour[1], 0);
    EXPECT_EQ(colour[2], point.blue);
}

TEST(WaveTunnel, RadiiFollowTheirOwnTime) {
    fakegl::Reset();
    cWaveTunnel tunnel;
    tunnel.SetTime(0);
    // B is thinner and swells along the axis: cos(360 y) with 360 y in radians.
    EXPECT_FLOAT_EQ(tunnel.RadiusB(0, 0).radius, float(0.1 + 1.0 / 40 + 1.0 / 15));
    EXPECT_FLOAT_EQ(tunnel.RadiusB(0.5f, 0).radius, float(0.1 + 1.0 / 40 + std::cos(180.0) / 15));
    // At t = 1.125 the turning ripple has its crest at angle 0.
    tunnel.SetTime(22.5 / 20);
    const double ripple = std::sin(22.5 * 4 / 57.29746936176985) / 20;
    EXPECT_FLOAT_EQ(tunnel.RadiusA(0.3f, 0).radius, float(0.2 + ripple + 1.0 / 40));

    // The blue waves at a point away from every zero: seven and five
    // periods per turn along and around the tube, moving with time.
    tunnel.SetTime(1.5);
    const float blueB = tunnel.RadiusB(0.4f, 100).blue;
    const double K = 3.1415 / 180, y = 0.4f, t = 1.5;
    const double blue = std::cos((360 * y + 30 * t) * 7 * K + 1) / 5 + (std::sin((360 * y - 40 * t) * 5 * K) + 1) / 2 +
                        std::cos((100 + 30 * t) * 7 * K + 1) / 5 + (std::sin((100 - 40 * t) * 5 * K) + 1) / 2;
    EXPECT_FLOAT_EQ(blueB, float(blue));
}

TEST(WaveTunnel, VerticesLieOnTheRadiusAroundTheAxis) {
    fakegl::Reset();
    cWaveTunnel tunnel;
    tunnel.SetTime(0);
    tunnel.BuildRevolution(1, 5, 50, &cWaveTunnel::RadiusA, GL_TRIANGLE_FAN);
    tunnel.DrawSurface();
    const auto vertices = FetchedVertices("glVertex3f");
    ASSERT_EQ(vertices.size(), 1000u);
    // First fan: (y 0, 0°), (y 0, 7.2°), (y 0.2, 7.2°), (y 0.2, 0°).
    const double k = 3.14159 / 180;
    const float r0 = tunnel.RadiusA(0, 0).radius;
    const float r1 = tunnel.RadiusA(0, 7.2f).radius;
    EXPECT_FLOAT_EQ(vertices[0].args[0], r0);
    EXPECT_FLOAT_EQ(vertices[0].args[2], 0);
    EXPECT_FLOAT_EQ(vertices[1].args[0], float(std::cos(7.2f * k) * r1));
    EXPECT_FLOAT_EQ(vertices[1].args[2], float(std::sin(7.2f * k) * r1));
    EXPECT_FLOAT_EQ(vertices[2].args[1], 0.2f);
    // The rings run from y = 0 to 1 in five steps of 0.2, float-accumulated.
    std::set<double> heights;
    for (const auto& v : vertices) heights.insert(v.args[1]);
    EXPECT_EQ(heights.size(), 6u);
    EXPECT_FLOAT_EQ(float(*heights.rbegin()), 1.0f);
    // The last sector closes the tube at 360.00009°, back onto the start.
    EXPECT_NEAR(vertices[999 - 1].args[0], r0, 1e-4);
}

TEST(WaveTunnel, NoRingsOrSectorsDrawNothingAndReturn) {
    fakegl::Reset();
    cWaveTunnel tunnel;
    tunnel.BuildRevolution(1, -5, 50, &cWaveTunnel::RadiusA, GL_TRIANGLE_FAN);
    tunnel.BuildRevolution(1, 5, -50, &cWaveTunnel::RadiusA, GL_TRIANGLE_FAN);
    tunnel.BuildRevolution(1, 0, 0, &cWaveTunnel::RadiusB, GL_TRIANGLE_FAN);
    tunnel.DrawSurface();
    EXPECT_TRUE(fakegl::Calls().empty()) << fakegl::Trace();
}

TEST(WaveTunnel, FoggedSetsBlackExponentialFogAndBulgingSetsNone) {
    fakegl::Reset();
    cWaveTunnel tunnel;
    tunnel.DrawFogged(1);
    glreplay::cState state = glreplay::Replay(fakegl::Calls());
    EXPECT_TRUE(state.Enabled(GL_FOG));
    EXPECT_EQ(state.fog[GL_FOG_MODE], GL_EXP);
    EXPECT_EQ(state.fog[GL_FOG_DENSITY], 1.75);
    EXPECT_EQ(state.fog[GL_FOG_START], 0);
    EXPECT_EQ(state.fog[GL_FOG_END], 0.5);
    EXPECT_EQ(state.fogColour, (std::array<double, 4>{0, 0, 0, 0}));
    EXPECT_EQ(fakegl::CallsNamed("glHint").at(0).args, (std::vector<double>{GL_FOG_HINT, GL_NICEST}));

    fakegl::ClearCalls();
    tunnel.DrawBulging(1);
    for (const std::string& name : fakegl::Names()) {
        EXPECT_EQ(name.rfind("glFog", 0), std::string::npos) << name;
        EXPECT_NE(name, "glEnable");
        EXPECT_NE(name, "glDisable");
        EXPECT_NE(name, "glHint");
    }
}

TEST(WaveTunnel, LeavesTheMatrixOneUnitOnAndTheLastVertexColour) {
    for (bool fogged : {true, false}) {
        fakegl::Reset();
        cWaveTunnel tunnel;
        if (fogged) tunnel.DrawFogged(5.5);
        else tunnel.DrawBulging(5.5);
        // After the second half: the last vertex's colour and texture
        // coordinate become current, as a vertex-by-vertex draw leaves them.
        const std::vector<std::string> names = fakegl::Names();
        const std::vector<std::string> tail(names.end() - 3, names.end());
        EXPECT_EQ(tail, (std::vector<std::string>{"glPopMatrix", "glColor3f", "glTexCoord2f"}));
        EXPECT_EQ(fakegl::CallsNamed("glTexCoord2f").back().args, (std::vector<double>{0, 1}));

        const glreplay::cState state = glreplay::Replay(fakegl::Calls());
        EXPECT_FALSE(state.underflow);
        EXPECT_EQ(state.stack.size(), 1u);
        EXPECT_EQ(state.Modelview().Apply(0, 0, 0), (std::array<double, 3>{0, 0, 1}));
        const std::vector<double> last = FetchedVertices("glColor3f").back().args;
        EXPECT_EQ(state.colour, (std::array<double, 4>{last[0], last[1], last[2], 1}));
        for (int cap : {GL_BLEND, GL_LIGHTING, GL_TEXTURE_2D, GL_DEPTH_TEST}) EXPECT_EQ(state.enabled.count(cap), 0u);
    }
}

TEST(WaveTunnel, TubeRunsAlongTheViewAxisInFrontOfTheViewer) {
    fakegl::Reset();
    cWaveTunnel tunnel;
    glTranslatef(0, 0, -3);  // the scene's view
    tunnel.DrawFogged(0);
    double nearest = -100, farthest = 100;
    glreplay::Replay(fakegl::Calls(), [&](const fakegl::cCall& call, const glreplay::cState& state) {
        if (call.name != "glVertex3f") return;
        const auto eye = state.Modelview().Apply(call.args[0], call.args[1], call.args[2]);
        nearest = std::max(nearest, eye[2]);
        farthest = std::min(farthest, eye[2]);
        EXPECT_NEAR(std::hypot(eye[0], eye[1]), 0.2, 0.1);
    });
    EXPECT_NEAR(nearest, 0, 1e-6);
    EXPECT_NEAR(farthest, -2, 1e-6);
}

TEST(WaveTunnel, NewContextNeedsNothingFromTheTunnel) {
    fakegl::Reset();
    cWaveTunnel fogged;
    fogged.DrawFogged(0.1);
    const std::string before = fakegl::Trace();
    RecreateGlObjects();
    fakegl::ClearCalls();
    fogged.DrawFogged(0.1);
    // The tunnel owns no GL object: the frame in the new context is the same.
    EXPECT_EQ(fakegl::Trace(), before);
    EXPECT_EQ(fakegl::Count("glGenLists"), 0u);
}
