// Index to the front: ffmpeg copies the streams into a temporary file next
// to the MP4, which is then renamed over it.
#include "capture/mp4_index.h"

#include "capture/capture_resume.h"
#include "capture/child_process.h"
#include "capture/ffmpeg_encoder.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

// ---- Public functions ------------------------------------------------------

std::string FinishMp4(const std::string& path, int64_t frames, int fps) {
    const std::string program = FindOnPath("ffmpeg");
    if (program.empty()) return MissingFfmpeg();
    const std::string temporary = path + ".part";
    // -copyts keeps the timestamps as the encoder wrote them: the audio's
    // priming samples before 0 stay trimmed by its edit list instead of
    // shifting the video later. -t drops the audio packets that begin after
    // the last frame's time (the last one kept may reach 1024 samples past
    // it, as at the end of every AAC stream).
    const std::vector<std::string> arguments = {"ffmpeg", "-nostdin", "-hide_banner", "-loglevel", "error", "-y",
                                                "-i", path, "-map", "0", "-c", "copy", "-copyts",
                                                "-t", FramesAsSeconds(frames, fps),
                                                "-movflags", "+faststart", "-f", "mp4", temporary};
    std::string error;
    const pid_t child = StartChild(program, arguments, -1, error);
    if (child > 0) error = WaitChild(child, "ffmpeg");
    if (error.empty() && std::rename(temporary.c_str(), path.c_str()) != 0)
        error = "cannot rename " + temporary + " to " + path + ": " + std::strerror(errno);
    if (!error.empty()) std::remove(temporary.c_str());
    return error;
}
