// cMaskOverlay: a picture laid over the whole view, cut out by its mask.
//
// The frame is first multiplied by the mask (dark where the mask is dark),
// then the picture is added on top. Of the two pairs, an odd beat count
// shows the first and an even one (0 included) the second, so the picture
// changes on every beat. Drawing leaves blending on with GL_ONE, GL_ONE,
// depth test, fog and 2D texturing off, the colour white and the picture's
// texture bound; the modelview matrix is restored.
#pragma once

#include "image/texture_pair.h"

class cMaskOverlay {
public:
    cTexturePair pair1;  // kOverlayPicture1 with its mask kOverlayMask1 (base/data_files.h)
    cTexturePair pair2;  // kOverlayPicture2 with its mask kOverlayMask2

    // Loads both pairs (picture first, mask second) and registers their
    // textures to be made again after the GL context is replaced; needs a
    // current GL context. Failures are reported by the loaders only.
    void LoadPairs();
    // Draws the pair the beat count picks over the whole view.
    void draw();
    // Draws a pair as a width x height quad centred at (x, y), depth -0.75.
    void DrawPair(cTexturePair& pair, double width, double height, double x, double y);
};
