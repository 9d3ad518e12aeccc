// cColor: an RGBA colour of the scene model, opaque white until set.
#pragma once

struct cColor {
    float r = 1.0f;
    float g = 1.0f;
    float b = 1.0f;
    float a = 1.0f;
};
