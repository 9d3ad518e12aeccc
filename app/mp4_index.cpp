// Index to the front: ffmpeg copies the streams into a temporary file next
// to the MP4, which is then renamed over it.
#include "app/mp4_index.h"

#include "app/child_process.h"
#include "app/ffmpeg_encoder.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

// ---- Public functions ------------------------------------------------------

std::string MoveIndexToFront(const std::string& path) {
    const std::string program = FindOnPath("ffmpeg");
    if (program.empty()) return MissingFfmpeg();
    const std::string temporary = path + ".part";
    // -copyts keeps the timestamps as the encoder wrote them: the audio's
    // priming samples before 0 stay trimmed by its edit list instead of
    // shifting the video later.
    const std::vector<std::string> arguments = {"ffmpeg", "-nostdin", "-hide_banner", "-loglevel", "error", "-y",
                                                "-i", path, "-map", "0", "-c", "copy", "-copyts",
                                                "-movflags", "+faststart", "-f", "mp4", temporary};
    std::string error;
    const pid_t child = StartChild(program, arguments, -1, error);
    if (child > 0) error = WaitChild(child, "ffmpeg");
    if (error.empty() && std::rename(temporary.c_str(), path.c_str()) != 0)
        error = "cannot rename " + temporary + " to " + path + ": " + std::strerror(errno);
    if (!error.empty()) std::remove(temporary.c_str());
    return error;
}
