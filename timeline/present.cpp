// Frame presentation through the presenter the shell installed.
#include "timeline/present.h"

namespace {
cPresenter gPresenter = nullptr;
}  // namespace

// Set the presenter (null: none)
void SetPresenter(cPresenter presenter) { gPresenter = presenter; }

// Present the frame
void PresentFrame() {
    if (gPresenter) gPresenter();
}
