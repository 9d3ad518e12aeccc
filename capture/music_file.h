// The capture's music as WAV files: rendered into an unnamed temporary file
// for the encoder, and cut to the frames a stopped capture wrote.
//
// The music handed to ffmpeg lives in a file without a name (made with
// O_TMPFILE, or named and removed at once where the file system has no such
// thing) and is handed over as an open descriptor: whatever ends the two
// programs, a kill included, nothing is left in the temporary directory.
#pragma once

#include "capture/capture_music.h"

#include <cstdint>
#include <string>

// An unnamed file for reading and writing in $TMPDIR (or /tmp), closed on
// exec; -1 with error set when it cannot be made.
int UnnamedTemporaryFile(std::string& error);
// Renders the music of frames [first, end) as 16-bit stereo WAV into an
// unnamed temporary file, as cCaptureMusic::Render does (end below 0: to the
// end of the first pass; end is set to the frame it ended at); the file's
// descriptor, or -1 with error set.
int RenderMusicFile(cCaptureMusic& music, int64_t first, int64_t& end, std::string& error);
// Cuts the 16-bit stereo WAV in the open file fd, or at path, holding the
// music from frame first on, to the music of frames [first, end); false
// when it cannot.
bool CutMusicFile(int fd, int64_t first, int64_t end, int fps);
bool CutMusicFile(const std::string& path, int64_t first, int64_t end, int fps);
