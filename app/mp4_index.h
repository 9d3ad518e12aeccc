// A finished capture's MP4 copied into the plain layout, index at the front.
//
// The encoder writes the MP4 in fragments, so that an interrupted capture
// plays up to its last fragment. Once ffmpeg has closed the file in order,
// the streams are copied (not re-encoded) into an MP4 with one index at the
// front, the layout every player and video site takes, which then replaces
// the fragmented file.
#pragma once

#include <string>

// Rewrites the MP4 at path with its index at the front; "" when done,
// otherwise what went wrong, with path still holding the fragmented file.
std::string MoveIndexToFront(const std::string& path);
