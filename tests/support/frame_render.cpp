// Pixel-test frames through the real DrawFrame, presented by not swapping.
#include "tests/support/frame_render.h"

#include "base/beat.h"
#include "core/gl_view.h"
#include "tests/support/sound_double.h"
#include "timeline/draw_frame.h"
#include "timeline/present.h"

#include <GL/gl.h>

namespace pixeltest {

void SetUpDemoGL(int width, int height) {
    SetupGL(unsigned(width), unsigned(height));
    glClearColor(0, 0, 0, 0);
}

void RenderFrameAt(double songTime, double beatTime, int beatCount, int order) {
    gSong = sounddouble::Song();
    sounddouble::SetOrder(order);
    gSongTime.store(songTime);
    gBeatTime.store(beatTime);
    gBeatCount.store(beatCount);
    // The frame stays in the back buffer, where ReadBack looks.
    SetPresenter([] {});
    DrawFrame();
    SetPresenter(nullptr);
    glFinish();
}

}  // namespace pixeltest
