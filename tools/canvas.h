// cCanvas: a floating-point RGB picture with its own design coordinates, the
// drawing surface of every picture the generator makes.
//
// Pixels are addressed top-down; each pixel also has a design-space position
// (for example the intro strip's metres or the overlay quad's units), so a
// picture is drawn in the coordinates it will be shown in, whatever the
// texture's pixel aspect. A height channel carries relief for ShadeRelief.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct cRgb {
    float r = 0, g = 0, b = 0;
};

// Linear blend a + (b - a) * t of two colours.
cRgb Mix(const cRgb& a, const cRgb& b, float t);
// Colour scaled by k.
cRgb Scale(const cRgb& c, float k);

class cCanvas {
public:
    // width x height pixels spanning [left, right] x [bottom, top] in design units.
    cCanvas(int width, int height, float left, float right, float bottom, float top);

    int Width() const { return width; }
    int Height() const { return height; }
    // Design coordinates of the centre of pixel column i and of pixel row j (top-down).
    float X(int i) const { return left + (i + 0.5f) * stepX; }
    float Y(int j) const { return top - (j + 0.5f) * stepY; }
    // The larger side of one pixel in design units: the anti-aliasing width.
    float PixelSize() const { return stepX > stepY ? stepX : stepY; }
    float StepX() const { return stepX; }
    float StepY() const { return stepY; }

    cRgb& At(int i, int j) { return rgb[size_t(j) * width + i]; }
    const cRgb& At(int i, int j) const { return rgb[size_t(j) * width + i]; }
    float& Height(int i, int j) { return height_[size_t(j) * width + i]; }
    float Height(int i, int j) const { return height_[size_t(j) * width + i]; }

    // Paints colour c over pixel (i, j) with coverage a (0 to 1), and lifts the
    // relief there to h where it covers.
    void Paint(int i, int j, const cRgb& c, float a, float h);

    // Shades the colour by the relief: light from the upper left, so raised
    // edges catch light on one side and fall into shade on the other.
    // strength scales the slope (design units of height per unit).
    void ShadeRelief(float strength);

    // R, G, B bytes top-down, each channel clamped to 0..1 and rounded.
    std::vector<uint8_t> ToBytes() const;

private:
    int width, height;
    float left, top, stepX, stepY;
    std::vector<cRgb> rgb;
    std::vector<float> height_;
};
