// cMaskOverlay: loading the picture pairs and drawing the masked overlay.
#include "effects/mask_overlay.h"

#include "base/beat.h"
#include "base/data_files.h"
#include "base/gl_recreation.h"

#include <GL/gl.h>

namespace {

// The overlay whose pairs were loaded, for making its textures again.
cMaskOverlay* loadedOverlay = nullptr;

// Makes the loaded overlay's textures again in a new context.
void RemakeOverlayTextures() {
    if (!loadedOverlay) return;
    loadedOverlay->pair1.recreate();
    loadedOverlay->pair2.recreate();
}

// The overlay's quad. The top edge samples at 0.99, not 1, keeping the
// linear filter off the wrapped-around bottom row.
void MaskQuad(float w, float h) {
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0.99f);
    glVertex3f(-w, h, -0.75f);
    glTexCoord2f(1, 0.99f);
    glVertex3f(w, h, -0.75f);
    glTexCoord2f(1, 0);
    glVertex3f(w, -h, -0.75f);
    glTexCoord2f(0, 0);
    glVertex3f(-w, -h, -0.75f);
    glEnd();
}

}  // namespace

// Loads both pairs and registers them for the F1 re-creation.
void cMaskOverlay::LoadPairs() {
    pair1.load(kOverlayPicture1, kOverlayMask1);
    pair2.load(kOverlayPicture2, kOverlayMask2);
    loadedOverlay = this;
    RegisterGlRecreation(RemakeOverlayTextures);
}

// Odd beat count: pair 1; even: pair 2.
void cMaskOverlay::draw() {
    if (BeatCount() % 2 != 0)
        DrawPair(pair1, 1.4, 1, 0, 0);
    else
        DrawPair(pair2, 1.4, 1, 0, 0);
}

// Mask multiplied in, picture added, over the whole view.
void cMaskOverlay::DrawPair(cTexturePair& pair, double width, double height, double x, double y) {
    const float w = float(width / 2);
    const float h = float(height / 2);
    glPushMatrix();
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_FOG);
    // Set on whatever texture is bound before the mask is.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glEnable(GL_TEXTURE_2D);

    // Multiply the frame by the mask.
    pair.secondTexture.bind();
    glColor4f(1, 1, 1, 1);
    glEnable(GL_BLEND);
    glBlendFunc(GL_DST_COLOR, GL_ZERO);
    glTranslatef(float(x), float(y), 0);
    MaskQuad(w, h);

    // Add the picture.
    pair.firstTexture.bind();
    glBlendFunc(GL_ONE, GL_ONE);
    MaskQuad(w, h);

    glDisable(GL_TEXTURE_2D);
    glPopMatrix();
}
