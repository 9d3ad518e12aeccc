// A capture of the demo: the same start-up, timeline, effects and data as
// the demo, drawn offscreen on the frame clock with the music rendered
// offline, into an MP4, PNG frames with a WAV, or stills.
//
// Every frame from the song's start up to the last one wanted is drawn, in
// order, because some effects carry state from frame to frame (the intro's
// light runs down per frame): a frame is the same whatever range it is
// captured in. Frames before the range are drawn with every pixel scissored
// away, which keeps all their state changes and costs little.
#pragma once

#include "capture/capture_options.h"

// Runs the capture the options ask for from Data/ in the working directory;
// the exit status: 0 when everything was written, 1 otherwise (after a
// message on standard error).
int RunCapture(const cCaptureOptions& options);
