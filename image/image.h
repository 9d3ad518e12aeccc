// cImage: owner of one raster, with a GL texture name beside it.
//
// The unit every user of pictures handles: the intro keeps one, each texture
// pair two, and the 3DS library a registry of them. Copying an image writes
// debug lines to standard output, and destroying one writes "nu dör jag";
// they are part of the demo's log (the ö, å and ä are single ISO 8859-1
// bytes).
#pragma once

#include "image/raster.h"

class cImage {
public:
    // No raster, texture name 0.
    cImage() = default;
    // An image with a blank raster of the given size (contents unset).
    cImage(int width, int height);
    // Deep copy, logging each step.
    cImage(const cImage& other);
    // Deep copy without logging; the previous raster is freed.
    cImage& operator=(const cImage& other);
    // Deletes the texture (when a GL context is current) and the raster.
    ~cImage();

    // Replaces the raster by the one read from a BMP file; false, and no
    // raster, when the file cannot be read.
    bool load(const char* fileName);
    // Replaces the raster by a blank one of the given size.
    bool create(int width, int height);

    cRaster* getRaster() const { return raster; }
    int getSizeX() const { return raster ? raster->sizeX : 0; }
    int getSizeY() const { return raster ? raster->sizeY : 0; }
    uint8_t* getData() const { return raster ? raster->data : nullptr; }

    // Writes one pixel; positions outside the raster are ignored.
    void setPixel(unsigned x, unsigned y, Pixel pixel);
    // Reads one pixel; black outside the raster or without one.
    Pixel getPixel(unsigned x, unsigned y) const;

    // GL texture operations (image/texture.cpp).
    // Reserves a fresh name for the image, sets repeat wrapping and nearest
    // filtering on the currently bound texture and uploads the image into it.
    void makeTexture();
    // Binds the image's own texture name, without enabling texturing.
    void bind();
    unsigned getTexture() const { return texture; }
    // Drops the texture name after its GL context went away (no GL call).
    void forgetTexture() { texture = 0; }

private:
    cRaster* raster = nullptr;
    unsigned texture = 0;

    void freeRaster();
    // The raster's byte at pixel (x, y), or null outside it.
    uint8_t* at(unsigned x, unsigned y) const;
};
