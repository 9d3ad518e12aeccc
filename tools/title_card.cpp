// Title card: chrome-blue lettering between two engraved rules.
#include "tools/title_card.h"

#include "tools/shapes.h"
#include "tools/stroke_font.h"

#include <cmath>

namespace {

// Texture size and the strip it is stretched over (metres of the intro quad).
constexpr int kWidth = 512, kHeight = 256;
constexpr float kHalfW = 0.64f, kHalfH = 0.24f;

// Lettering: x-heights and baselines in strip units.
constexpr float kTitleScale = 0.093f, kTitleBase = -0.03f, kTitleWeight = 0.23f, kTitleTracking = 0.42f;
constexpr float kSubScale = 0.045f, kSubBase = -0.15f, kSubWeight = 0.24f, kSubTracking = 0.9f;
constexpr float kRuleTop = 0.16f, kRuleBottom = -0.205f, kRuleHalf = 0.52f;

// Every colour keeps a strong blue: under the intro's blue light only the
// blue channel survives, and it must still carry the letters.
const cRgb kIce{0.93f, 0.97f, 1.0f};
const cRgb kSky{0.55f, 0.78f, 1.0f};
const cRgb kCyan{0.35f, 0.85f, 1.0f};
const cRgb kDeep{0.1f, 0.28f, 0.95f};
const cRgb kRule{0.25f, 0.5f, 1.0f};

// Chrome: a bright sky above a horizon in the middle of the letters, a deep
// blue rising to cyan below it.
cRgb Chrome(float y, float base, float height) {
    const float t = (y - base) / height;
    if (t > 0.48f) return Mix(kSky, kIce, SmoothStep(0.48f, 1.0f, t));
    return Mix(kDeep, kCyan, SmoothStep(-0.2f, 0.48f, t));
}

// A rule across the card with rivets at its ends and scale ticks below it.
void DrawRule(cCanvas& c, float y, bool ticks) {
    const float px = c.PixelSize();
    for (int j = 0; j < c.Height(); ++j) {
        const float py = c.Y(j);
        if (std::fabs(py - y) > 0.03f) continue;
        for (int i = 0; i < c.Width(); ++i) {
            const float x = c.X(i);
            float d = DistSegment(x, py, -kRuleHalf, y, kRuleHalf, y) - 0.0022f;
            const float rivets = std::fmin(std::hypot(x + kRuleHalf + 0.014f, py - y),
                                           std::hypot(x - kRuleHalf - 0.014f, py - y)) - 0.0075f;
            d = std::fmin(d, rivets);
            if (ticks && std::fabs(x) < kRuleHalf - 0.01f) {
                // A tick every 0.04, a longer one every 0.2: an engineer's scale.
                const float k = std::round(x / 0.04f);
                const float len = (int(std::lround(k)) % 5 == 0) ? 0.016f : 0.009f;
                const float tick = DistSegment(x, py, k * 0.04f, y, k * 0.04f, y - len) - 0.0015f;
                d = std::fmin(d, tick);
            }
            c.Paint(i, j, kRule, Coverage(d, px), 0.004f);
        }
    }
}

}  // namespace

// Lays out the two lines of lettering centred on the strip, and the rules.
cCanvas MakeTitleCard() {
    cCanvas card(kWidth, kHeight, -kHalfW, kHalfW, -kHalfH, kHalfH);
    DrawRule(card, kRuleTop, false);
    DrawRule(card, kRuleBottom, true);

    const std::string title = "Vindelkrok";
    const float titleX = -TextWidth(title, kTitleTracking) * kTitleScale / 2;
    DrawText(card, title, titleX, kTitleBase, kTitleScale, kTitleWeight, kTitleTracking,
             [](float, float y) { return Chrome(y, kTitleBase, 1.5f * kTitleScale); }, 0.012f);

    const std::string subtitle = "designdemo";
    const float subX = -TextWidth(subtitle, kSubTracking) * kSubScale / 2;
    DrawText(card, subtitle, subX, kSubBase, kSubScale, kSubWeight, kSubTracking,
             [](float, float y) { return Chrome(y, kSubBase, 1.2f * kSubScale); }, 0.006f);

    card.ShadeRelief(1.2f);
    return card;
}
