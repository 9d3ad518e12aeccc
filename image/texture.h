// cTexture: a GL texture made once from one cImage.
//
// All textures are 2D, level 0, RGB with 8 bits per channel and no mipmaps,
// uploaded from the raster as stored (rows bottom-up, tightly packed).
// A texture is made at most once: `create` on a created texture returns its
// name without touching GL. Destroying a cTexture releases nothing; the
// texture goes with the GL context. After a full-screen toggle the old name
// means nothing in the new context: `forget` drops it so the next `create`
// makes the texture again from the image in memory.
#pragma once

#include "image/image.h"

class cTexture {
public:
    // Shows the given image (not owned).
    void setImage(cImage* shown) { image = shown; }
    cImage* getImage() const { return image; }
    // Makes the GL texture from the image once (linear filtering; the new
    // texture stays bound, 2D texturing is left off); returns its name, or 0
    // with no GL call when the image has no pixels.
    unsigned create();
    // Enables 2D texturing and binds the texture (name 0 if never created).
    void bind();
    // Deletes a texture this object made; name 0 afterwards.
    void release();
    // Drops the name of a texture whose GL context went away (no GL call).
    void forget();
    bool isCreated() const { return created; }
    unsigned getName() const { return texture; }

private:
    cImage* image = nullptr;
    unsigned texture = 0;
    bool created = false;
};
