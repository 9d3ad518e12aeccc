// The Data/ of the scene tests: pictures and a model small enough to reason
// about pixel by pixel, written by the pixel tests and by the capture's
// stills test, which must see the same frames.
#pragma once

#include "model3ds/model3ds_writer.h"

#include <string>

namespace scenedata {

// Writes the intro picture and both overlay pairs into the directory:
// - the intro, 64 x 32: red top left, green top right, blue bottom left,
//   yellow bottom right (y counts from the bottom), with a white border;
// - pair 1 (odd beat counts) plain green, so a wrong pair shows at once;
// - pair 2 (even counts), 64 x 64: the mask keeps a round window in the
//   middle of the view and blacks out the rest; the picture fills the
//   blacked-out part with orange bands and is black inside the window.
void WritePictures(const std::string& dataDirectory);

// A square floor 2400 units wide (12 units once scaled) made of two
// objects, one triangle each, turning about the model's centre.
cModel3ds Floor();

}  // namespace scenedata
