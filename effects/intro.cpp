// cIntro: loading, drawing and animating the opening scene.
#include "effects/intro.h"

#include "base/data_files.h"
#include "base/gl_recreation.h"

#include <GL/gl.h>

cImage gIntroImage;
cTexture gIntroTexture;

namespace {

// The GL half of LoadIntro: additive blending, the texture (nearest
// minification and repeat from makeTexture, which works on the texture
// create leaves bound, then linear magnification), light 0 without linear
// or quadratic fall-off, lighting and texturing on.
void SetUpIntroGl() {
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    gIntroTexture.setImage(&gIntroImage);
    gIntroTexture.create();
    gIntroImage.makeTexture();
    gIntroTexture.bind();
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glLightf(GL_LIGHT0, GL_LINEAR_ATTENUATION, 0);
    glLightf(GL_LIGHT0, GL_QUADRATIC_ATTENUATION, 0);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_TEXTURE_2D);
}

// Makes the texture and GL state again in a new context from the picture in
// memory; the light values carry on where they were.
void RemakeIntroGl() {
    gIntroTexture.forget();
    gIntroImage.forgetTexture();
    SetUpIntroGl();
}

}  // namespace

// Loads the picture, sets up its texture and GL state, resets the light.
void LoadIntro(cIntro& intro) {
    // Loading again shows the new picture, not the texture of the old one.
    gIntroTexture.release();
    // A missing picture is reported by the reader; the strip is then drawn
    // without it.
    gIntroImage.load(kIntroPicture);
    SetUpIntroGl();
    RegisterGlRecreation(RemakeIntroGl);
    ResetIntro(intro);
}

// Reset the light values
void ResetIntro(cIntro& intro) {
    intro.strobe = true;
    intro.lightPos[0] = intro.lightPos[1] = intro.lightPos[2] = 0;
    intro.ambient[0] = intro.ambient[1] = intro.ambient[2] = 1;
    intro.offsetX = 0;
    intro.attenuation = 10;
}

// Draws with last frame's light values, then advances them to t.
void DrawIntro(cIntro& intro, double t) {
    // The frame's move back from the timeline is dropped.
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();

    // The overlapping four-float vectors (see intro.h). The position goes in
    // under the identity matrix, so a positional light sits at the eye.
    const GLfloat ambient[4] = {intro.ambient[0], intro.ambient[1], intro.ambient[2], intro.offsetX};
    const GLfloat position[4] = {intro.lightPos[0], intro.lightPos[1], intro.lightPos[2], intro.ambient[0]};
    glPushMatrix();
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    // Once negative, GL refuses the value and keeps the last one it took.
    glLightf(GL_LIGHT0, GL_CONSTANT_ATTENUATION, intro.attenuation);
    glLightfv(GL_LIGHT0, GL_POSITION, position);
    glPopMatrix();

    glPushMatrix();
    glPushMatrix();
    glTranslatef(intro.offsetX, 0, -0.2f);
    DrawIntroImage();
    glPopMatrix();
    glPopMatrix();

    // Both stay on after the intro (DrawIntroImage turned texturing off).
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_LIGHTING);
    AnimateIntro(intro, t);
}

// The textured strip.
void DrawIntroImage() {
    glEnable(GL_TEXTURE_2D);
    gIntroTexture.bind();
    glColor4f(1, 1, 1, 0.9f);
    // A 1.28 x 0.48 strip, the picture the right way up.
    glBegin(GL_QUADS);
    glTexCoord2f(0, 1);
    glVertex3f(-0.64f, 0.24f, -0.5f);
    glTexCoord2f(1, 1);
    glVertex3f(0.64f, 0.24f, -0.5f);
    glTexCoord2f(1, 0);
    glVertex3f(0.64f, -0.24f, -0.5f);
    glTexCoord2f(0, 0);
    glVertex3f(-0.64f, -0.24f, -0.5f);
    glEnd();
    glDisable(GL_TEXTURE_2D);
}

// Offset, strobe colour and attenuation for song time t.
void AnimateIntro(cIntro& intro, double t) {
    // After seven seconds the picture slides right, one unit a second.
    if (t > 7) intro.offsetX = float(t - 7);
    // Four to seven seconds: blue, white, blue, ... one colour per frame.
    if (t > 4 && t < 7) {
        if (intro.strobe) {
            intro.ambient[0] = 0;
            intro.ambient[1] = 0;
            intro.ambient[2] = 100;
            intro.strobe = false;
        } else {
            intro.ambient[0] = 100;
            intro.ambient[1] = 100;
            intro.ambient[2] = 100;
            intro.strobe = true;
        }
    }
    if (t > 7) {
        intro.ambient[0] = 0;
        intro.ambient[1] = 0;
        intro.ambient[2] = 100;
    }
    // Runs down on every frame, so how far depends on the frame rate.
    if (t < 5)
        intro.attenuation = float(intro.attenuation - t / 10);
    else
        intro.attenuation = 0;
}
