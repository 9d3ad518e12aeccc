// cIntro: the opening scene, the intro picture lit by light 0's ambient term.
//
// For the first four seconds the light is plain white; from four to seven it
// strobes every frame between over-bright blue and over-bright white; after
// seven it stays blue and the picture slides right at one unit a second. The
// light's constant attenuation runs down from 10 frame by frame until five
// seconds and is 0 after. A frame sends the light values the previous frame
// computed.
//
// The seven floats lightPos, ambient and offsetX go to GL as two four-float
// vectors that overlap: the position is (x, y, z, ambient red) and the
// ambient colour is (r, g, b, offsetX). That is the look: while the ambient
// red is 0 the light is directional and not attenuated, while it is 1 or 100
// the light sits at the eye and the attenuation dims it.
#pragma once

#include "image/image.h"
#include "image/texture.h"

struct cIntro {
    float lightPos[3] = {0, 0, 0};
    float ambient[3] = {1, 1, 1};
    float offsetX = 0;
    bool strobe = true;
    float attenuation = 10;
};

// The intro's own picture and texture.
extern cImage gIntroImage;
extern cTexture gIntroTexture;

// Loads kIntroPicture ("Data/vindelbild.bmp"), makes its texture and sets the blending and
// lighting the intro draws with; needs a current GL context. The GL part is
// registered to be made again after the context is replaced.
void LoadIntro(cIntro& intro);
// The light values as start-up sets them, for a song started over.
void ResetIntro(cIntro& intro);
// Draws the scene with the light values of the last frame, then advances
// them to song time t.
void DrawIntro(cIntro& intro, double t);
// Draws the picture strip, textured, at the current matrix.
void DrawIntroImage();
// Advances offset, strobe colour and attenuation to song time t.
void AnimateIntro(cIntro& intro, double t);
