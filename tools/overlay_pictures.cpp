// Overlay pairs: each pixel is composed front to back from signed-distance
// shapes, then the picture is shaded by its relief.
#include "tools/overlay_pictures.h"

#include "tools/shapes.h"

#include <cmath>

namespace {

// 1024 x 512 pixels over the 1.4 x 1 overlay quad. The quad samples the
// texture's rows only up to 0.99, so the picture spans 1/0.99 vertically and
// its top 1 % is never shown.
constexpr int kWidth = 1024, kHeight = 512;
constexpr float kHalfW = 0.7f, kBottom = -0.5f, kTop = -0.5f + 1.0f / 0.99f;

const cRgb kSteel{0.36f, 0.42f, 0.5f};
const cRgb kDarkSteel{0.17f, 0.2f, 0.26f};
const cRgb kBrass{0.8f, 0.6f, 0.28f};
const cRgb kChrome{0.75f, 0.8f, 0.86f};
const cRgb kSight{0.2f, 0.75f, 1.0f};

// What one pixel of a pair holds while it is being composed.
struct cSurface {
    cRgb colour;
    float height = 0;
    float mask = 1;
};

// Lays a shape with signed distance d over the surface: its colour, a
// bevelled relief rising to `raise` over `bevel` units from its edge, and its
// mask value (0 for solid machinery).
// The colour is a function, evaluated only where the shape covers the pixel.
template <typename ColourFn>
void OverLazy(cSurface& s, float d, float pixel, ColourFn colour, float raise, float bevel, float mask) {
    const float a = Coverage(d, pixel);
    if (a <= 0) return;
    const float h = raise * SmoothStep(0, bevel, -d);
    s.colour = Mix(s.colour, colour(), a);
    s.height += (h - s.height) * a;
    s.mask += (mask - s.mask) * a;
}

// Lays a shape of one flat colour over the surface.
void Over(cSurface& s, float d, float pixel, const cRgb& colour, float raise, float bevel, float mask) {
    OverLazy(s, d, pixel, [&] { return colour; }, raise, bevel, mask);
}

// Darkens what is below a shape's shadow (the shape's distance at an offset).
void Shadow(cSurface& s, float dShifted, float softness, float depth) {
    const float a = 1 - SmoothStep(-softness, softness, dShifted);
    s.colour = Scale(s.colour, 1 - depth * a);
}

// Brushed metal: streaks along x.
cRgb Brushed(const cRgb& base, float x, float y, uint32_t seed) {
    const float n = FractalNoise(x * 5.0f, y * 180.0f, 3, seed);
    return Scale(base, 0.82f + 0.36f * n);
}

// Signed distance to a round rivet head of radius r at (cx, cy); its bevel
// makes it a dome under the relief shading.
float RivetDistance(float x, float y, float cx, float cy, float r) { return std::hypot(x - cx, y - cy) - r; }

// Stores one composed pixel in the picture and the mask.
void Store(cOverlayPair& pair, int i, int j, const cSurface& s) {
    pair.picture.At(i, j) = s.colour;
    pair.picture.Height(i, j) = s.height;
    pair.mask.At(i, j) = {s.mask, s.mask, s.mask};
}

// An empty picture and mask over the overlay quad.
cOverlayPair Blank() {
    return {cCanvas(kWidth, kHeight, -kHalfW, kHalfW, kBottom, kTop),
            cCanvas(kWidth, kHeight, -kHalfW, kHalfW, kBottom, kTop)};
}

// ---- Pair 1: porthole ------------------------------------------------------

constexpr float kHoleR = 0.33f, kFlangeR = 0.42f, kBoltR = 0.375f;

// A large spoked gear, of which the corners show about half.
cGear CornerGear(float cx, float cy, float turn) {
    cGear g;
    g.cx = cx, g.cy = cy, g.teeth = 16, g.rootR = 0.2f, g.tipR = 0.235f, g.turn = turn;
    g.holeR = 0.035f, g.spokes = 5, g.spokeR0 = 0.07f, g.spokeR1 = 0.16f;
    return g;
}

// A small solid gear at the plate's sides.
cGear SideGear(float cx, float cy, float turn) {
    cGear g;
    g.cx = cx, g.cy = cy, g.teeth = 10, g.rootR = 0.095f, g.tipR = 0.125f, g.turn = turn;
    g.holeR = 0.022f, g.spokes = 0;
    return g;
}

// One pixel of the porthole plate.
cSurface Porthole(float x, float y, float px) {
    cSurface s;
    const float r = std::hypot(x, y);
    // The plate, with seams between its panels and bolts at their corners.
    s.colour = Brushed(kSteel, x, y, 11);
    s.height = 0;
    s.mask = 0;
    const float seam = std::fmin(std::fabs(std::fabs(x) - 0.5f), std::fabs(std::fabs(y) - 0.3f)) - 0.002f;
    Over(s, seam, px, kDarkSteel, -0.006f, 0.004f, 0);
    for (float bx : {-0.5f, 0.5f})
        for (float by : {-0.3f, 0.3f}) {
            Shadow(s, RivetDistance(x + 0.006f, y - 0.006f, bx, by, 0.014f), 0.006f, 0.5f);
            Over(s, RivetDistance(x, y, bx, by, 0.014f), px, kChrome, 0.012f, 0.014f, 0);
        }

    // Gears in the corners and at the sides, each throwing a shadow.
    const cGear gears[] = {CornerGear(-0.64f, 0.47f, 4), CornerGear(0.64f, 0.47f, 9), CornerGear(-0.64f, -0.47f, 2),
                           CornerGear(0.64f, -0.47f, 13), SideGear(-0.62f, 0.0f, 0), SideGear(0.62f, 0.0f, 18)};
    for (const cGear& g : gears) Shadow(s, SdGear(x + 0.012f, y - 0.012f, g), 0.01f, 0.55f);
    for (const cGear& g : gears) {
        const float d = SdGear(x, y, g);
        OverLazy(s, d, px, [&] { return Brushed(kBrass, x * 0.7f - y, y + x * 0.7f, 5); }, 0.02f, 0.008f, 0);
        // An axle in every gear's hole.
        Over(s, std::hypot(x - g.cx, y - g.cy) - g.holeR * 0.7f, px, kDarkSteel, 0.03f, 0.01f, 0);
    }

    // The flange around the window, with its ring of bolts.
    Shadow(s, std::hypot(x + 0.012f, y - 0.012f) - kFlangeR, 0.012f, 0.5f);
    const float flange = std::fmax(r - kFlangeR, kHoleR - r);
    Over(s, flange, px, Mix(kSteel, kChrome, 0.5f), 0.025f, 0.012f, 0);
    const float groove = std::fabs(r - 0.352f) - 0.0025f;
    Over(s, groove, px, kDarkSteel, 0.012f, 0.003f, 0);
    float bolt = 1;
    for (int k = 0; k < 16; ++k) {
        const float a = (k + 0.5f) * 6.2831853f / 16;
        bolt = std::fmin(bolt, RivetDistance(x, y, kBoltR * std::cos(a), kBoltR * std::sin(a), 0.012f));
    }
    Over(s, bolt, px, kChrome, 0.04f, 0.012f, 0);

    // The window: the scene shows through, darkened towards the rim as if
    // seen down a short tube, with a faint reflection on the glass.
    const float inside = Coverage(r - kHoleR, px);
    if (inside > 0) {
        const float depth = 0.35f + 0.65f * SmoothStep(kHoleR, kHoleR - 0.06f, r);
        const float angle = std::atan2(y, x) * 57.29578f;
        const float glint = (1 - SmoothStep(0, 0.018f, std::fabs(r - 0.27f))) *
                            SmoothStep(95, 115, angle) * (1 - SmoothStep(150, 170, angle));
        s.colour = Mix(s.colour, Scale(cRgb{0.8f, 0.9f, 1.0f}, 0.28f * glint), inside);
        s.height *= 1 - inside;
        s.mask += (depth - s.mask) * inside;
    }
    return s;
}

// ---- Pair 2: racks ---------------------------------------------------------

constexpr float kGirder = 0.3f;  // half height of the open middle

// Signed distance to a toothed rack along y = edge, teeth pointing towards
// the centre (dir = -1 below a top rack, +1 above a bottom rack).
float RackDistance(float x, float y, float edge, float dir, float shift) {
    const float pitch = 0.05f;
    float phase = (x + shift) / pitch;
    phase -= std::floor(phase);
    const float f = std::fabs(phase - 0.5f) * 2;
    const float tooth = 0.026f * (1 - SmoothStep(0.35f, 0.7f, f));
    const float bar = (y - edge) * dir;  // below zero inside the bar
    return (bar - tooth) * 0.8f;
}

// One pixel of the girder frame.
cSurface Racks(float x, float y, float px) {
    cSurface s;
    // The open middle: the scene, shadowed under the girders.
    s.colour = {0, 0, 0};
    const float fromEdge = kGirder - std::fabs(y);
    s.mask = 0.45f + 0.55f * SmoothStep(0, 0.07f, fromEdge);

    // Sight marks: corner brackets and a centre cross, added light only.
    float sight = 1;
    for (float sx : {-1.0f, 1.0f})
        for (float sy : {-1.0f, 1.0f}) {
            const float cx = 0.2f * sx, cy = 0.13f * sy;
            sight = std::fmin(sight, DistSegment(x, y, cx, cy, cx - 0.06f * sx, cy));
            sight = std::fmin(sight, DistSegment(x, y, cx, cy, cx, cy - 0.05f * sy));
        }
    sight = std::fmin(sight, std::fmin(DistSegment(x, y, -0.035f, 0, -0.012f, 0), DistSegment(x, y, 0.012f, 0, 0.035f, 0)));
    sight = std::fmin(sight, std::fmin(DistSegment(x, y, 0, -0.035f, 0, -0.012f), DistSegment(x, y, 0, 0.012f, 0, 0.035f)));
    const float ring = std::fabs(std::hypot(x, y) - 0.06f);
    sight = std::fmin(sight, ring);
    const float sightCover = Coverage(sight - 0.0022f, px);
    s.colour = Mix(s.colour, Scale(kSight, 0.85f), sightCover);

    // Pistons at both sides, from girder to girder.
    for (float side : {-1.0f, 1.0f}) {
        const float cx = 0.575f * side;
        Shadow(s, SdRoundBox(x + 0.01f, y - 0.01f, cx, -0.06f, 0.035f, 0.2f, 0.01f), 0.012f, 0.6f);
        const float rod = SdRoundBox(x, y, cx, 0.15f, 0.017f, 0.16f, 0.004f);
        OverLazy(s, rod, px, [&] { return Brushed(kChrome, y, x, 23); }, 0.012f, 0.017f, 0);
        const float cylinder = SdRoundBox(x, y, cx, -0.1f, 0.035f, 0.2f, 0.01f);
        OverLazy(s, cylinder, px, [&] { return Brushed(kSteel, y, x, 29); }, 0.03f, 0.025f, 0);
        for (float band : {-0.24f, 0.04f}) {
            const float ringD = SdRoundBox(x, y, cx, band, 0.04f, 0.012f, 0.004f);
            Over(s, ringD, px, kBrass, 0.036f, 0.006f, 0);
        }
    }

    // Pinions riding the racks, one at the top left, one at the bottom right.
    cGear top;
    top.cx = -0.4f, top.cy = kGirder - 0.03f - 0.115f, top.teeth = 14, top.rootR = 0.1f, top.tipR = 0.13f;
    top.turn = 6, top.holeR = 0.02f, top.spokes = 4, top.spokeR0 = 0.04f, top.spokeR1 = 0.082f;
    cGear bottom = top;
    bottom.cx = 0.4f, bottom.cy = -top.cy, bottom.turn = 19;
    for (const cGear& g : {top, bottom}) {
        Shadow(s, SdGear(x + 0.012f, y - 0.012f, g), 0.01f, 0.6f);
        OverLazy(s, SdGear(x, y, g), px, [&] { return Brushed(kBrass, x - y, x + y, 31); }, 0.02f, 0.008f, 0);
        Over(s, std::hypot(x - g.cx, y - g.cy) - 0.016f, px, kDarkSteel, 0.03f, 0.008f, 0);
    }

    // The girders: a dark web, a riveted flange, and a brass rack along the
    // inner edge with its teeth towards the middle.
    for (float dir : {-1.0f, 1.0f}) {
        const float edge = kGirder * -dir;  // the top girder (dir -1) begins at +0.3
        const float web = (y - edge) * dir;
        OverLazy(s, web, px, [&] { return Brushed(kDarkSteel, x, y, 41); }, 0.01f, 0.01f, 0);
        if (y * dir < 0) {
            const float flange = std::fabs(std::fabs(y) - 0.44f) - 0.035f;
            OverLazy(s, flange, px, [&] { return Brushed(kSteel, x, y, 43); }, 0.03f, 0.01f, 0);
        }
        float rivets = 1;
        for (int k = -7; k <= 7; ++k)
            for (float row : {0.415f, 0.465f})
                rivets = std::fmin(rivets, RivetDistance(x, y, k * 0.09f + 0.045f, -dir * row, 0.009f));
        Over(s, rivets, px, kChrome, 0.045f, 0.009f, 0);
        auto rack = [&](float qx, float qy) {
            const float strip = (edge - 0.045f * dir - qy) * dir;  // outer side of the rack's bar
            return std::fmax(RackDistance(qx, qy, edge, dir, dir * 0.012f), strip);
        };
        Shadow(s, rack(x + 0.01f, y - 0.01f), 0.01f, 0.6f);
        OverLazy(s, rack(x, y), px, [&] { return Brushed(kBrass, x, y, 37); }, 0.025f, 0.008f, 0);
    }
    return s;
}

// Runs a pixel composer over the whole pair and shades the picture's relief.
template <typename Composer>
cOverlayPair Compose(Composer compose) {
    cOverlayPair pair = Blank();
    const float px = pair.picture.PixelSize();
    for (int j = 0; j < kHeight; ++j)
        for (int i = 0; i < kWidth; ++i) Store(pair, i, j, compose(pair.picture.X(i), pair.picture.Y(j), px));
    pair.picture.ShadeRelief(1.0f);
    return pair;
}

}  // namespace

// Builds pair 1.
cOverlayPair MakeOverlayPorthole() { return Compose(Porthole); }

// Builds pair 2.
cOverlayPair MakeOverlayRacks() { return Compose(Racks); }
