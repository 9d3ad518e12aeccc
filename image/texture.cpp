// cTexture and the GL side of cImage: making, binding and uploading textures.
#include "image/texture.h"

#include <GL/gl.h>

namespace {

// Uploads an RGB picture into the bound 2D texture. Raster rows are tightly
// packed (width * 3 bytes), so GL must not assume its default alignment of 4:
// for widths where width * 3 is not a multiple of 4 it would shear the
// picture and read past the end of the pixels.
void UploadRgb(int width, int height, const uint8_t* pixels) {
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE, pixels);
}

}  // namespace

// Makes the texture once from the image's pixels; 0 when there are none.
unsigned cTexture::create() {
    if (!image || !image->getRaster() || !image->getData()) return 0;
    if (created) return texture;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    UploadRgb(image->getSizeX(), image->getSizeY(), image->getData());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glDisable(GL_TEXTURE_2D);
    created = true;
    return texture;
}

// Enables 2D texturing and binds the texture.
void cTexture::bind() {
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
}

// Deletes a texture this object made.
void cTexture::release() {
    if (created) glDeleteTextures(1, &texture);
    texture = 0;
    created = false;
}

// Drops a name whose context is gone; no GL call.
void cTexture::forget() {
    texture = 0;
    created = false;
}

// Reserves a fresh name and fills the bound texture with the image.
void cImage::makeTexture() {
    if (glIsTexture(texture)) glDeleteTextures(1, &texture);
    // The fresh name is only reserved; the settings and the upload go to
    // whatever texture is bound now (the cTexture just created for this
    // image, in every caller).
    glGenTextures(1, &texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    UploadRgb(getSizeX(), getSizeY(), getData());
}

// Binds the image's own name without enabling texturing.
void cImage::bind() { glBindTexture(GL_TEXTURE_2D, texture); }
