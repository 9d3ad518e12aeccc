// cTexturePair: two images with a texture each, loaded from two BMP files.
//
// The effects use pairs of a picture and its mask. Loading prints
// "loading <file> ok" for each file read; a failing file is reported by the
// reader alone. Only a failing first file makes the load fail.
#pragma once

#include "image/image.h"
#include "image/texture.h"

class cTexturePair {
public:
    cImage firstImage;
    cImage secondImage;
    cTexture firstTexture;
    cTexture secondTexture;

    // Loads the first image and makes its texture; false if the file fails.
    bool load(const char* firstFile);
    // Loads both; false only when the first file fails.
    bool load(const char* firstFile, const char* secondFile);
    // Makes the textures of the loaded images again in a new GL context from
    // the pixels in memory (no file is read).
    void recreate();
};
