// Frame presentation through the presenter the shell installed.
#include "timeline/present.h"

#include "base/view_rect.h"

namespace {
cPresenter gPresenter = nullptr;
}  // namespace

// Set the presenter (null: none)
void SetPresenter(cPresenter presenter) { gPresenter = presenter; }

// Present the frame
void PresentFrame() {
    // Black beside a 4:3 view in a frame of another shape.
    ClearViewBars();
    if (gPresenter) gPresenter();
}
