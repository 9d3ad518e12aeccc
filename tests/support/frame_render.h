// Rendering demo frames in a pixel test: the real DrawFrame, with the sound
// layer's double answering the music order, into cTestContext's window.
//
//     pixeltest::cTestContext gl;
//     pixeltest::SetUpDemoGL();
//     pixeltest::RenderFrameAt(24.0, 0.0, 0, 1);
//     pixeltest::MatchReference("name", gl.ReadBack(), tolerance, maxDiffering);
//
// Link vk_frame_render; it brings the timeline with the real effects.
#pragma once

namespace pixeltest {

// Sets the GL state the demo has when its main loop starts, for a window of
// the given size: SetupGL's fixed state and projection, then the black clear
// colour of start-up. Prepares no effect (call their loaders as needed).
void SetUpDemoGL(int width = 800, int height = 600);

// Draws one frame through DrawFrame with the given song time, beat time,
// beat count and music order; the frame is left in the back buffer, not
// swapped, for cTestContext::ReadBack.
void RenderFrameAt(double songTime, double beatTime, int beatCount, int order);

}  // namespace pixeltest
