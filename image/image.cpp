// cImage: raster ownership, copies with their log lines, pixel access.
#include "image/image.h"

#include "base/context_query.h"
#include "image/bmp_reader.h"

#include <GL/gl.h>

#include <cstring>
#include <iostream>
#include <new>

namespace {

// One log line, flushed.
void Log(const char* line) { std::cout << line << std::endl; }

// A new raster with the given size and unset pixels, or null.
cRaster* NewRaster(int width, int height) {
    if (width < 0 || height < 0) return nullptr;
    cRaster* raster = new (std::nothrow) cRaster;
    if (!raster) return nullptr;
    raster->data = new (std::nothrow) uint8_t[size_t(width) * size_t(height) * 3];
    if (!raster->data) {
        delete raster;
        return nullptr;
    }
    raster->sizeX = width;
    raster->sizeY = height;
    return raster;
}

}  // namespace

// An image with a blank raster of the given size.
cImage::cImage(int width, int height) { create(width, height); }

// Deep copy; each step is logged (part of the demo's log).
cImage::cImage(const cImage& other) : texture(other.texture) {
    Log("goddagens");
    const cRaster* source = other.raster;
    if (!source) return;
    Log("rhs har iaf ett raster");
    std::cout << "mitt raster heter: " << static_cast<const void*>(raster) << std::endl;
    Log("finns inget raster, g\xF6r ett");
    raster = new (std::nothrow) cRaster;
    if (!raster) {
        Log("serious error");
        return;
    }
    Log("det skall tydligen ha g\xE5tt ganska bra");
    Log("tilldelening av sizeX \xE5 size Y");
    raster->sizeX = source->sizeX;
    raster->sizeY = source->sizeY;
    Log("kopiera rasterdata");
    const size_t bytes = source->byteCount();
    if (!source->data) return;
    raster->data = new (std::nothrow) uint8_t[bytes];
    if (!raster->data) {
        // A raster that claims a size without pixels would be read past.
        Log("serious error");
        freeRaster();
        return;
    }
    if (bytes) std::memcpy(raster->data, source->data, bytes);
}

// Deep copy without log lines.
cImage& cImage::operator=(const cImage& other) {
    if (this == &other) return *this;
    freeRaster();
    texture = other.texture;
    const cRaster* source = other.raster;
    if (source) {
        raster = NewRaster(source->sizeX, source->sizeY);
        if (raster && source->data) std::memcpy(raster->data, source->data, raster->byteCount());
    }
    return *this;
}

// Deletes the texture while a context is current, says goodbye, frees the raster.
cImage::~cImage() {
    // Static images die at process exit, after the window and its context are
    // gone: asking GL then would be a call without a context.
    if (GlContextCurrent() && glIsTexture(texture)) glDeleteTextures(1, &texture);
    Log("nu d\xF6r jag");
    freeRaster();
}

// Replaces the raster by the file's; the old one is gone whatever happens.
bool cImage::load(const char* fileName) {
    freeRaster();
    raster = loadBmp(fileName);
    return raster != nullptr;
}

// Replaces the raster by a blank one.
bool cImage::create(int width, int height) {
    freeRaster();
    raster = NewRaster(width, height);
    return raster != nullptr;
}

// Writes one pixel inside the raster.
void cImage::setPixel(unsigned x, unsigned y, Pixel pixel) {
    uint8_t* p = at(x, y);
    if (!p) return;
    p[0] = pixel.r;
    p[1] = pixel.g;
    p[2] = pixel.b;
}

// Reads one pixel; black outside the raster.
Pixel cImage::getPixel(unsigned x, unsigned y) const {
    const uint8_t* p = at(x, y);
    return p ? Pixel(p[0], p[1], p[2]) : Pixel();
}

// Frees the raster with its pixels.
void cImage::freeRaster() {
    delete raster;
    raster = nullptr;
}

// Where pixel (x, y) starts, or null outside the raster.
uint8_t* cImage::at(unsigned x, unsigned y) const {
    if (!raster || !raster->data || x >= unsigned(raster->sizeX) || y >= unsigned(raster->sizeY)) return nullptr;
    return raster->data + (size_t(y) * size_t(raster->sizeX) + x) * 3;
}
