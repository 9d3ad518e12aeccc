// Finishing a stopped MP4 capture into one file: the frames the part holds
// are copied as they are (no re-encoding), the frames after them are
// encoded afresh, and the music of the whole range is encoded once.
//
// So the result has the frames of the capture made in one piece, at the
// same timestamps, and its music with no sample missing or heard twice:
// only the frames after the seam are new encodings of the same pictures.
// A part whose end was cut off (a kill while ffmpeg wrote a fragment) is
// continued from the last frame it holds whole.
#pragma once

#include <cstdint>
#include <string>

struct cPartVideo {
    int width = 0, height = 0, fps = 0;
    int64_t frames = 0;  // frames 0 .. frames-1 lie whole at the start of the file
};

// Reads the video of the MP4 part at path; "" when done, otherwise what
// went wrong.
std::string ReadPartVideo(const std::string& path, cPartVideo& part);
// Copies the first frames video packets of the MP4 at path, which show its
// frames 0 .. frames-1, into the open file fd as an MP4 of their own.
std::string CopyPartFrames(const std::string& path, int64_t frames, int fd);
// Writes the MP4 at output (through output.part, with the index at the
// front): the video of the MP4s in the open files head (headFrames frames)
// and rest (restFrames frames; -1: none) one after the other, copied, with
// the WAV in the open file music encoded as its sound.
std::string JoinParts(int head, int64_t headFrames, int rest, int64_t restFrames, int music, int fps,
                      const std::string& output);
