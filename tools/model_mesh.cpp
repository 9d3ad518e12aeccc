// Model geometry: parametric surfaces stitched into triangle meshes.
#include "tools/model_mesh.h"

#include "tools/shapes.h"

#include <cmath>
#include <functional>

namespace {

constexpr float kPi = 3.14159265358979f;

// A small 3D vector for building the surfaces.
struct cV3 {
    float x, y, z;
};
cV3 operator+(cV3 a, cV3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
cV3 operator-(cV3 a, cV3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
cV3 operator*(cV3 a, float k) { return {a.x * k, a.y * k, a.z * k}; }
cV3 Cross(cV3 a, cV3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
// The vector scaled to length 1 (a zero vector stays zero).
cV3 Normalise(cV3 a) {
    const float l = std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z);
    return l > 0 ? a * (1 / l) : a;
}

// Appends a vertex with its mapping coordinates and returns its index.
uint16_t AddVertex(cMesh3ds& o, cV3 p, float u, float v) {
    o.vertices.push_back({p.x, p.y, p.z});
    o.mapping.push_back({u, v});
    return uint16_t(o.vertices.size() - 1);
}

// Appends a triangle.
void AddFace(cMesh3ds& o, uint16_t a, uint16_t b, uint16_t c) {
    cFace3ds f;
    f.a = a, f.b = b, f.c = c;
    o.faces.push_back(f);
}

// A grid of (columns + 1) x (rows + 1) vertices from a surface function,
// joined into two triangles per cell. wrapColumns/wrapRows join the last
// column/row back to the first instead of adding a seam of new vertices.
void AddGrid(cMesh3ds& o, int columns, int rows, bool wrapColumns, bool wrapRows,
             const std::function<cV3(float, float)>& surface, float uRepeat, float vRepeat) {
    const int nc = wrapColumns ? columns : columns + 1, nr = wrapRows ? rows : rows + 1;
    const uint16_t base = uint16_t(o.vertices.size());
    for (int c = 0; c < nc; ++c)
        for (int r = 0; r < nr; ++r) {
            const float s = float(c) / columns, t = float(r) / rows;
            AddVertex(o, surface(s, t), s * uRepeat, t * vRepeat);
        }
    auto at = [&](int c, int r) { return uint16_t(base + (c % nc) * nr + (r % nr)); };
    for (int c = 0; c < columns; ++c)
        for (int r = 0; r < rows; ++r) {
            AddFace(o, at(c, r), at(c + 1, r), at(c + 1, r + 1));
            AddFace(o, at(c, r), at(c + 1, r + 1), at(c, r + 1));
        }
}

// A closed tube of the given radius along a closed curve, its frame carried
// along the curve so the tube does not twist.
void AddTube(cMesh3ds& o, const std::function<cV3(float)>& curve, int segments, int sides, float radius) {
    std::vector<cV3> centre(segments), normal(segments), binormal(segments);
    for (int i = 0; i < segments; ++i) centre[i] = curve(float(i) / segments);
    cV3 up{0, 0, 1};
    for (int i = 0; i < segments; ++i) {
        const cV3 tangent = Normalise(centre[(i + 1) % segments] - centre[(i + segments - 1) % segments]);
        normal[i] = Normalise(Cross(up, tangent));
        binormal[i] = Cross(tangent, normal[i]);
        up = binormal[i];
    }
    AddGrid(o, segments, sides, true, true,
            [&](float s, float t) {
                const int i = int(std::lround(s * segments)) % segments;
                const float a = t * 2 * kPi;
                return centre[i] + normal[i] * (radius * std::cos(a)) + binormal[i] * (radius * std::sin(a));
            },
            8, 1);
}

// Outline radius of a gear with `teeth` trapezoid teeth at angle a (radians).
float ToothRadius(float a, int teeth, float root, float tip) {
    float phase = a * teeth / (2 * kPi);
    phase -= std::floor(phase);
    const float f = std::fabs(phase - 0.5f) * 2;
    return root + (tip - root) * (1 - SmoothStep(0.3f, 0.7f, f));
}

// The toothed ring: top, bottom, outer and inner walls of a flat annulus.
cMesh3ds MakeCogRing() {
    cMesh3ds o;
    o.name = "cogring";
    const int teeth = 24, steps = teeth * 8;
    const float inner = 104, root = 116, tip = 131, half = 7;
    auto outer = [&](float s) { return ToothRadius(s * 2 * kPi, teeth, root, tip); };
    // Around the ring (s), across its cross-section (t): inner top -> outer
    // top -> outer bottom -> inner bottom -> back.
    AddGrid(o, steps, 4, true, true,
            [&](float s, float t) {
                const float a = s * 2 * kPi, c = std::cos(a), sn = std::sin(a);
                const int corner = int(std::lround(t * 4)) % 4;
                const float r = (corner == 1 || corner == 2) ? outer(s) : inner;
                const float z = (corner < 2) ? half : -half;
                return cV3{r * c, r * sn, z};
            },
            teeth, 1);
    return o;
}

// The knotted core: a (2, 3) torus knot of tube.
cMesh3ds MakeKnot() {
    cMesh3ds o;
    o.name = "knot";
    AddTube(o,
            [](float s) {
                const float a = s * 2 * kPi;
                const float r = 52 + 22 * std::cos(3 * a);
                return cV3{r * std::cos(2 * a), r * std::sin(2 * a), 26 * std::sin(3 * a)};
            },
            240, 12, 11);
    return o;
}

// The hub: a sphere with a band, and three vanes from the hub to the ring,
// each a twisted blade of a single sheet.
cMesh3ds MakeHubAndVanes() {
    cMesh3ds o;
    o.name = "vanes";
    AddGrid(o, 24, 16, true, false,
            [](float s, float t) {
                const float a = s * 2 * kPi, b = (t - 0.5f) * kPi;
                const float r = 24 + 4 * (1 - SmoothStep(0.08f, 0.2f, std::fabs(b)));
                return cV3{r * std::cos(b) * std::cos(a), r * std::cos(b) * std::sin(a), r * std::sin(b)};
            },
            2, 1);
    for (int k = 0; k < 3; ++k) {
        const float base = k * 2 * kPi / 3;
        AddGrid(o, 24, 6, false, false,
                [base](float s, float t) {
                    // Along the blade s (radius 22..108), across it t; the
                    // blade twists by 70 degrees and sweeps back as it goes out.
                    const float r = 22 + 86 * s;
                    const float twist = (20 + 70 * s) * kPi / 180;
                    const float across = (t - 0.5f) * (14 + 16 * s);
                    const float a = base + 0.5f * s * s;
                    const cV3 radial{std::cos(a), std::sin(a), 0}, side{-std::sin(a), std::cos(a), 0};
                    const cV3 up{0, 0, 1};
                    return radial * r + side * (across * std::cos(twist)) + up * (across * std::sin(twist));
                },
                4, 1);
    }
    return o;
}

}  // namespace

// Assembles the model from its three objects and their one material.
cModel3ds MakeRongert(const std::string& textureFile) {
    cModel3ds m;
    cMaterial3ds material;
    material.name = "rongert blue";
    material.diffuse = {{60, 90, 220}};
    material.textureFile = textureFile;
    m.materials.push_back(material);
    for (cMesh3ds mesh : {MakeCogRing(), MakeKnot(), MakeHubAndVanes()}) {
        mesh.material = material.name;
        m.meshes.push_back(std::move(mesh));
    }
    return m;
}

// Blue panels with seams and a rivet in every corner.
cCanvas MakeModelTexture() {
    cCanvas t(256, 256, 0, 1, 0, 1);
    for (int j = 0; j < t.Height(); ++j)
        for (int i = 0; i < t.Width(); ++i) {
            const float x = t.X(i), y = t.Y(j);
            const float fx = x * 4 - std::floor(x * 4), fy = y * 4 - std::floor(y * 4);
            const float n = FractalNoise(x * 16, y * 16, 3, 7);
            cRgb c{0.18f + 0.1f * n, 0.3f + 0.12f * n, 0.62f + 0.2f * n};
            const float seam = std::fmin(std::fmin(fx, 1 - fx), std::fmin(fy, 1 - fy));
            t.Paint(i, j, c, 1, 0);
            t.Paint(i, j, {0.05f, 0.08f, 0.2f}, Coverage(seam - 0.012f, t.PixelSize() * 4), -0.004f);
            const float rx = std::fmin(fx, 1 - fx) - 0.07f, ry = std::fmin(fy, 1 - fy) - 0.07f;
            const float rivet = std::hypot(rx, ry) / 4 - 0.008f;
            t.Paint(i, j, {0.6f, 0.7f, 0.9f}, Coverage(rivet, t.PixelSize()), 0.006f);
        }
    t.ShadeRelief(2.0f);
    return t;
}
