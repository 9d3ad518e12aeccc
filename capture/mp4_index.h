// A capture's MP4, closed in order, copied into the plain layout with its
// index at the front.
//
// The encoder writes the MP4 in fragments, so that an interrupted capture
// plays up to its last fragment. Once ffmpeg has closed the file in order,
// the streams are copied (not re-encoded) into an MP4 with one index at the
// front, the layout every player and video site takes, which then replaces
// the fragmented file. The copy ends with the last frame: ffmpeg has the
// music of the whole range from the start, so the audio of a capture
// stopped early would run on past its frames. (A continuation takes only
// the part's frames; its music is rendered afresh for the whole range.)
#pragma once

#include <cstdint>
#include <string>

// Rewrites the MP4 at path, which holds frames at fps; "" when done,
// otherwise what went wrong, with path still holding the fragmented file.
std::string FinishMp4(const std::string& path, int64_t frames, int fps);
