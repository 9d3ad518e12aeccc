// Frame presentation: glXSwapBuffers on the window whose context is current.
#include "timeline/present.h"

#include "base/view_rect.h"

#include <GL/glx.h>

namespace {
cPresenter gPresenter = nullptr;
}  // namespace

// Set the presenter (null: swap buffers)
void SetPresenter(cPresenter presenter) { gPresenter = presenter; }

// Present the frame
void PresentFrame() {
    // Black beside a 4:3 view in a frame of another shape.
    ClearViewBars();
    if (gPresenter) {
        gPresenter();
        return;
    }
    // Without a current context (a window that failed to re-open) there is
    // nothing to swap.
    Display* display = glXGetCurrentDisplay();
    if (display) glXSwapBuffers(display, glXGetCurrentDrawable());
}
