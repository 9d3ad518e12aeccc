// The white flash that fades out after a beat (and the fixed one at 24 s).
#pragma once

// Adds white over the whole view while r - t lies strictly between -0.5 and
// 0.5, with alpha sin((r - t + 0.5) * 3.1415): 0 at the ends, 1 at r = t.
// Draws nothing outside that window.
void DrawBeatFlash(double t, double r);
