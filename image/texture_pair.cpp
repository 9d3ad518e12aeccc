// cTexturePair: loading a picture and its mask together.
#include "image/texture_pair.h"

#include <iostream>

namespace {

// Loads one file into an image and makes the texture that shows it.
bool LoadOne(cImage& image, cTexture& texture, const char* file) {
    if (!image.load(file)) return false;
    std::cout << "loading " << file << " ok" << std::endl;
    texture.setImage(&image);
    texture.create();
    image.makeTexture();
    return true;
}

// The GL half of LoadOne, for a texture that was made before.
void Remake(cImage& image, cTexture& texture) {
    if (!texture.isCreated()) return;
    texture.forget();
    image.forgetTexture();
    texture.create();
    image.makeTexture();
}

}  // namespace

// Loads the first image and makes its texture.
bool cTexturePair::load(const char* firstFile) { return LoadOne(firstImage, firstTexture, firstFile); }

// Loads both; only the first file can make it fail.
bool cTexturePair::load(const char* firstFile, const char* secondFile) {
    if (!LoadOne(firstImage, firstTexture, firstFile)) return false;
    LoadOne(secondImage, secondTexture, secondFile);
    return true;
}

// Makes the made textures again in a new context.
void cTexturePair::recreate() {
    Remake(firstImage, firstTexture);
    Remake(secondImage, secondTexture);
}
