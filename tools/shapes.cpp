// Signed distances, coverage and value noise for the generated pictures.
#include "tools/shapes.h"

#include <cmath>

namespace {

constexpr float kPi = 3.14159265358979f;

// Integer hash of a lattice point: the noise's only source of randomness.
uint32_t Hash(int32_t x, int32_t y, uint32_t seed) {
    uint32_t h = seed * 0x9E3779B1u ^ uint32_t(x) * 0x85EBCA77u ^ uint32_t(y) * 0xC2B2AE3Du;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}

// Angle of (x, y) in degrees, 0..360.
float AngleDeg(float x, float y) {
    float a = std::atan2(y, x) * (180.0f / kPi);
    return a < 0 ? a + 360.0f : a;
}

}  // namespace

// Pixel coverage from a signed distance.
float Coverage(float d, float pixel) {
    const float c = 0.5f - d / pixel;
    return c < 0 ? 0 : (c > 1 ? 1 : c);
}

// Hermite ramp.
float SmoothStep(float e0, float e1, float x) {
    float t = (x - e0) / (e1 - e0);
    t = t < 0 ? 0 : (t > 1 ? 1 : t);
    return t * t * (3 - 2 * t);
}

// Distance from a point to a segment.
float DistSegment(float px, float py, float ax, float ay, float bx, float by) {
    const float vx = bx - ax, vy = by - ay, wx = px - ax, wy = py - ay;
    const float len2 = vx * vx + vy * vy;
    float t = len2 > 0 ? (wx * vx + wy * vy) / len2 : 0;
    t = t < 0 ? 0 : (t > 1 ? 1 : t);
    const float dx = wx - vx * t, dy = wy - vy * t;
    return std::sqrt(dx * dx + dy * dy);
}

// Distance from a point to a circular arc.
float DistArc(float px, float py, float cx, float cy, float r, float a0, float a1) {
    const float dx = px - cx, dy = py - cy;
    float span = a1 - a0;
    while (span < 0) span += 360;
    float rel = AngleDeg(dx, dy) - a0;
    while (rel < 0) rel += 360;
    while (rel >= 360) rel -= 360;
    if (rel <= span) return std::fabs(std::sqrt(dx * dx + dy * dy) - r);
    // Outside the arc's sweep: the nearer end point.
    const float e0x = cx + r * std::cos(a0 * kPi / 180), e0y = cy + r * std::sin(a0 * kPi / 180);
    const float e1x = cx + r * std::cos(a1 * kPi / 180), e1y = cy + r * std::sin(a1 * kPi / 180);
    const float d0 = std::hypot(px - e0x, py - e0y), d1 = std::hypot(px - e1x, py - e1y);
    return d0 < d1 ? d0 : d1;
}

// Signed distance to a rounded box.
float SdRoundBox(float px, float py, float cx, float cy, float hw, float hh, float rc) {
    const float qx = std::fabs(px - cx) - hw + rc, qy = std::fabs(py - cy) - hh + rc;
    const float ox = qx > 0 ? qx : 0, oy = qy > 0 ? qy : 0;
    const float inside = qx > qy ? qx : qy;
    return std::sqrt(ox * ox + oy * oy) + (inside < 0 ? inside : 0) - rc;
}

// Gear: a toothed disc with a hole and optional spoke windows.
float SdGear(float px, float py, const cGear& g) {
    const float dx = px - g.cx, dy = py - g.cy;
    const float r = std::sqrt(dx * dx + dy * dy);
    // Tooth profile: trapezoids, flat tops, sloped flanks, over one pitch.
    float phase = (AngleDeg(dx, dy) - g.turn) * g.teeth / 360.0f;
    phase -= std::floor(phase);
    const float f = std::fabs(phase - 0.5f) * 2;  // 0 at tooth centre, 1 in the gap
    const float outline = g.rootR + (g.tipR - g.rootR) * (1 - SmoothStep(0.35f, 0.65f, f));
    // The tooth outline runs along the angle, so radial distance overstates
    // the true distance on the flanks; scale it back a little.
    float d = (r - outline) * 0.8f;
    d = d > g.holeR - r ? d : g.holeR - r;
    if (g.spokes > 0) {
        // Windows between straight spokes of constant width, inside an annulus.
        float sector = (AngleDeg(dx, dy) - g.turn) * g.spokes / 360.0f;
        sector -= std::floor(sector + 0.5f);  // -0.5..0.5 from the nearest spoke
        const float fromSpoke = r * std::fabs(std::sin(sector * 2 * kPi / g.spokes));
        const float spokeHalf = (g.spokeR1 - g.spokeR0) * 0.22f;
        const float arcDist = spokeHalf - fromSpoke;
        const float radial = std::fabs(r - (g.spokeR0 + g.spokeR1) / 2) - (g.spokeR1 - g.spokeR0) / 2;
        const float window = arcDist > radial ? arcDist : radial;  // inside the window when < 0
        d = d > -window ? d : -window;
    }
    return d;
}

// Bilinear value noise with smooth interpolation.
float ValueNoise(float x, float y, uint32_t seed) {
    const float fx = std::floor(x), fy = std::floor(y);
    const int32_t ix = int32_t(fx), iy = int32_t(fy);
    float tx = x - fx, ty = y - fy;
    tx = tx * tx * (3 - 2 * tx);
    ty = ty * ty * (3 - 2 * ty);
    auto v = [&](int32_t a, int32_t b) { return float(Hash(a, b, seed) >> 8) / float(1u << 24); };
    const float top = v(ix, iy) + (v(ix + 1, iy) - v(ix, iy)) * tx;
    const float bottom = v(ix, iy + 1) + (v(ix + 1, iy + 1) - v(ix, iy + 1)) * tx;
    return top + (bottom - top) * ty;
}

// Octaves of value noise, normalised to 0..1.
float FractalNoise(float x, float y, int octaves, uint32_t seed) {
    float sum = 0, amp = 1, norm = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += ValueNoise(x, y, seed + o) * amp;
        norm += amp;
        amp *= 0.5f;
        x *= 2.03f;
        y *= 2.03f;
    }
    return sum / norm;
}
