// cCanvas: float RGB picture with design coordinates and a relief channel.
#include "tools/canvas.h"

#include <cmath>

// Linear blend of two colours.
cRgb Mix(const cRgb& a, const cRgb& b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

// Colour scaled by k.
cRgb Scale(const cRgb& c, float k) { return {c.r * k, c.g * k, c.b * k}; }

// Makes a black, flat canvas.
cCanvas::cCanvas(int w, int h, float l, float r, float b, float t)
    : width(w), height(h), left(l), top(t), stepX((r - l) / w), stepY((t - b) / h),
      rgb(size_t(w) * h), height_(size_t(w) * h, 0.0f) {}

// Paints one pixel with partial coverage.
void cCanvas::Paint(int i, int j, const cRgb& c, float a, float h) {
    if (a <= 0) return;
    if (a > 1) a = 1;
    cRgb& p = At(i, j);
    p = Mix(p, c, a);
    float& z = Height(i, j);
    z += (h - z) * a;
}

// Lambert-like shading from the relief's slope.
void cCanvas::ShadeRelief(float strength) {
    // Light from the upper left, a little above the surface.
    const float lx = -0.55f, ly = 0.55f, lz = 0.63f;
    std::vector<cRgb> shaded(rgb.size());
    for (int j = 0; j < height; ++j) {
        for (int i = 0; i < width; ++i) {
            const int i0 = i > 0 ? i - 1 : i, i1 = i + 1 < width ? i + 1 : i;
            const int j0 = j > 0 ? j - 1 : j, j1 = j + 1 < height ? j + 1 : j;
            // Slopes in design units; rows run top-down, so y grows towards j0.
            const float dx = (Height(i1, j) - Height(i0, j)) / ((i1 - i0) * stepX + 1e-9f);
            const float dy = (Height(i, j0) - Height(i, j1)) / ((j1 - j0) * stepY + 1e-9f);
            float nx = -dx * strength, ny = -dy * strength, nz = 1;
            const float len = std::sqrt(nx * nx + ny * ny + nz * nz);
            nx /= len, ny /= len, nz /= len;
            const float lambert = nx * lx + ny * ly + nz * lz;
            // 1 on a flat surface, brighter facing the light, darker away.
            const float k = lambert / lz;
            shaded[size_t(j) * width + i] = Scale(At(i, j), k < 0 ? 0 : k);
        }
    }
    rgb.swap(shaded);
}

// Quantises to bytes.
std::vector<uint8_t> cCanvas::ToBytes() const {
    std::vector<uint8_t> out;
    out.reserve(rgb.size() * 3);
    auto byte = [](float v) {
        if (!(v > 0)) return uint8_t(0);
        if (v >= 1) return uint8_t(255);
        return uint8_t(std::lround(v * 255.0f));
    };
    for (const cRgb& p : rgb) {
        out.push_back(byte(p.r));
        out.push_back(byte(p.g));
        out.push_back(byte(p.b));
    }
    return out;
}
