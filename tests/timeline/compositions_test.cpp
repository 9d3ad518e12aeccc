// Each composition makes its state changes and draws its effects in the
// order the picture depends on, then flashes k seconds before the last beat.
#include "timeline/compositions.h"

#include <gtest/gtest.h>

#include "tests/support/fake_gl.h"
#include "tests/support/timeline_calls.h"

#include <cmath>

using namespace timelinetest;

namespace {

// Alpha of a composition's flash at the moment of the beat (t = b).
float AlphaAtBeat(double k) { return float(std::sin((0.5 - k) * 3.1415)); }

void Draw(int n) {
    void (*const compositions[])() = {Composition1, Composition2, Composition3, Composition4,
                                      Composition5, Composition6, Composition7};
    compositions[n - 1]();
}

TEST(Compositions, MakeTheirCallsInOrderAndFlashAtTheBeat) {
    const double k[] = {0.1, 0.1, 0.1, 0.15, 0.1, 0.1, 0.2};
    for (int n = 1; n <= 7; ++n) {
        fakegl::Reset();
        SetTimes(5.0, 5.0, 0);
        Draw(n);
        EXPECT_EQ(RecordedLines(), Composition(n, 5.0) + Flash(AlphaAtBeat(k[n - 1]))) << "composition " << n;
    }
}

TEST(Compositions, FlashStartsAtTheAlphaOfItsLeadTime) {
    const struct {
        int composition;
        float alpha;
    } cases[] = {{1, 0.951f}, {4, 0.891f}, {7, 0.809f}};
    for (const auto& c : cases) {
        fakegl::Reset();
        SetTimes(5.0, 5.0, 0);
        Draw(c.composition);
        const auto colours = fakegl::CallsNamed("glColor4f");
        ASSERT_EQ(colours.size(), 1u);
        EXPECT_NEAR(colours[0].args[3], c.alpha, 0.0005) << "composition " << c.composition;
    }
}

}  // namespace
