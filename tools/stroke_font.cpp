// Monoline glyphs from segments and arcs, rendered through distance fields.
#include "tools/stroke_font.h"

#include "tools/shapes.h"

#include <cmath>
#include <vector>

namespace {

struct cStroke {
    bool arc;
    float a, b, c, d, e;  // segment: x0 y0 x1 y1; arc: cx cy r from to (degrees)
};

struct cGlyph {
    char letter;
    float width;  // extent of the centre lines, in x-heights
    std::vector<cStroke> strokes;
};

// A straight stroke, and an arc stroke.
cStroke Seg(float x0, float y0, float x1, float y1) { return {false, x0, y0, x1, y1, 0}; }
cStroke Arc(float cx, float cy, float r, float from, float to) { return {true, cx, cy, r, from, to}; }

// The alphabet of the title, drawn on round letters of diameter 1.
const std::vector<cGlyph>& Alphabet() {
    static const std::vector<cGlyph> glyphs = {
        {'V', 1.2f, {Seg(0, 1.5f, 0.6f, 0), Seg(0.6f, 0, 1.2f, 1.5f)}},
        {'i', 0, {Seg(0, 0, 0, 1), Seg(0, 1.42f, 0, 1.42f)}},
        {'l', 0, {Seg(0, 0, 0, 1.5f)}},
        {'n', 1, {Seg(0, 0, 0, 1), Arc(0.5f, 0.5f, 0.5f, 0, 180), Seg(1, 0.5f, 1, 0)}},
        {'m', 1.4f, {Seg(0, 0, 0, 1), Arc(0.35f, 0.65f, 0.35f, 0, 180), Seg(0.7f, 0.65f, 0.7f, 0),
                     Arc(1.05f, 0.65f, 0.35f, 0, 180), Seg(1.4f, 0.65f, 1.4f, 0)}},
        {'o', 1, {Arc(0.5f, 0.5f, 0.5f, 0, 360)}},
        {'d', 1, {Arc(0.5f, 0.5f, 0.5f, 0, 360), Seg(1, 0, 1, 1.5f)}},
        {'g', 1, {Arc(0.5f, 0.5f, 0.5f, 0, 360), Seg(1, 1, 1, -0.1f), Arc(0.5f, -0.1f, 0.5f, 210, 360)}},
        {'e', 1, {Seg(0, 0.5f, 1, 0.5f), Arc(0.5f, 0.5f, 0.5f, 0, 320)}},
        {'r', 0.6f, {Seg(0, 0, 0, 1), Arc(0.6f, 0.4f, 0.6f, 90, 180)}},
        {'k', 0.8f, {Seg(0, 0, 0, 1.5f), Seg(0, 0.35f, 0.8f, 1), Seg(0.3f, 0.6f, 0.85f, 0)}},
        {'s', 0.8f, {Seg(0.8f, 1, 0.25f, 1), Arc(0.25f, 0.75f, 0.25f, 90, 270), Seg(0.25f, 0.5f, 0.55f, 0.5f),
                     Arc(0.55f, 0.25f, 0.25f, 270, 90), Seg(0.55f, 0, 0, 0)}},
        {' ', 0.4f, {}},
    };
    return glyphs;
}

// The glyph of a letter, or null when the alphabet lacks it.
const cGlyph* Find(char c) {
    for (const cGlyph& g : Alphabet())
        if (g.letter == c) return &g;
    return nullptr;
}

// Distance from (x, y), in glyph units, to the glyph's centre lines.
float GlyphDistance(const cGlyph& g, float x, float y) {
    float best = 1e9f;
    for (const cStroke& s : g.strokes) {
        const float d = s.arc ? DistArc(x, y, s.a, s.b, s.c, s.d, s.e) : DistSegment(x, y, s.a, s.b, s.c, s.d);
        if (d < best) best = d;
    }
    return best;
}

}  // namespace

// Width of a line of text in x-heights.
float TextWidth(const std::string& text, float tracking) {
    float w = 0;
    for (size_t k = 0; k < text.size(); ++k) {
        const cGlyph* g = Find(text[k]);
        w += (g ? g->width : 0.4f) + (k + 1 < text.size() ? tracking : 0);
    }
    return w;
}

// Paints the text: each glyph is only evaluated over its own bounding box.
void DrawText(cCanvas& canvas, const std::string& text, float x, float y, float scale, float weight,
              float tracking, const std::function<cRgb(float, float)>& fill, float raise) {
    const float half = weight / 2;
    float pen = x;
    for (char letter : text) {
        const cGlyph* g = Find(letter);
        const float width = g ? g->width : 0.4f;
        if (g && !g->strokes.empty()) {
            // Bounding box in design units, a stroke's half width around the grid.
            const float x0 = pen - half * scale - canvas.PixelSize(), x1 = pen + (width + half) * scale + canvas.PixelSize();
            const float y0 = y + (-0.6f - half) * scale - canvas.PixelSize(), y1 = y + (1.5f + half) * scale + canvas.PixelSize();
            for (int j = 0; j < canvas.Height(); ++j) {
                const float py = canvas.Y(j);
                if (py < y0 || py > y1) continue;
                for (int i = 0; i < canvas.Width(); ++i) {
                    const float px = canvas.X(i);
                    if (px < x0 || px > x1) continue;
                    // Anisotropic pixels: measure the distance in units of the
                    // pixel's own extent by sampling a 2 x 2 pattern within it.
                    float cover = 0;
                    for (int s = 0; s < 4; ++s) {
                        const float sx = px + ((s & 1) ? 0.25f : -0.25f) * canvas.StepX();
                        const float sy = py + ((s & 2) ? 0.25f : -0.25f) * canvas.StepY();
                        const float d = GlyphDistance(*g, (sx - pen) / scale, (sy - y) / scale) * scale - half * scale;
                        cover += Coverage(d, canvas.PixelSize() * 0.5f);
                    }
                    cover *= 0.25f;
                    if (cover > 0) canvas.Paint(i, j, fill(px, py), cover, raise);
                }
            }
        }
        pen += (width + tracking) * scale;
    }
}
