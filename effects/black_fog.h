// Black exponential fog, as the tunnel and the road set it up.
#pragma once

// Enables GL_EXP fog in black with the given density; start 0 and the given
// end are set too (exponential fog ignores them, the effects set them anyway).
void SetBlackFog(float density, float end);
