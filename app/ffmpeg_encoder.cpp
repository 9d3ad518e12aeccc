// ffmpeg child process: fork, exec with the frames' pipe as standard input,
// write frames, close, wait.
#include "app/ffmpeg_encoder.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// ---- Constants -------------------------------------------------------------

// The music at a high AAC bit rate (the video's quality is a setting).
const char* const kAudioBitRate = "192k";

// ---- Local helpers ---------------------------------------------------------

// ffmpeg's arguments for the settings.
std::vector<std::string> Arguments(const cVideoSettings& s) {
    const std::string size = std::to_string(s.width) + "x" + std::to_string(s.height);
    return {"ffmpeg", "-nostdin", "-hide_banner", "-loglevel", "error", "-y",
            // frames on standard input
            "-f", "rawvideo", "-pix_fmt", "rgb24", "-video_size", size, "-framerate", std::to_string(s.fps),
            "-i", "pipe:0",
            // the music
            "-i", s.audio,
            "-map", "0:v:0", "-map", "1:a:0",
            "-c:v", "libx264", "-preset", "medium", "-crf", std::to_string(s.crf), "-pix_fmt", "yuv420p",
            "-c:a", "aac", "-b:a", kAudioBitRate,
            "-movflags", "+faststart", s.output};
}

}  // namespace

// ---- Public functions ------------------------------------------------------

std::string FindOnPath(const char* name) {
    const char* path = std::getenv("PATH");
    if (!path) return "";
    for (const char* p = path;; ++p) {
        const char* end = std::strchr(p, ':');
        const std::string dir = end ? std::string(p, end) : std::string(p);
        const std::string file = (dir.empty() ? "." : dir) + "/" + name;
        if (access(file.c_str(), X_OK) == 0) return file;
        if (!end) return "";
        p = end;
    }
}

std::string MissingFfmpeg() {
    if (!FindOnPath("ffmpeg").empty()) return "";
    return "ffmpeg is not installed (no ffmpeg on PATH); it encodes the MP4. Install it "
           "(Debian: apt-get install ffmpeg), or use --png DIR for PNG frames and a WAV.";
}

cFfmpegEncoder::~cFfmpegEncoder() {
    if (child > 0) Finish();
}

bool cFfmpegEncoder::Start(const cVideoSettings& settings, std::string& error) {
    const std::string program = FindOnPath("ffmpeg");
    if (program.empty()) {
        error = MissingFfmpeg();
        return false;
    }
    const std::vector<std::string> arguments = Arguments(settings);
    std::vector<char*> argv;
    for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        error = std::string("cannot make a pipe for ffmpeg: ") + std::strerror(errno);
        return false;
    }
    // A failed exec shows in the child's status; nothing else to learn.
    child = fork();
    if (child < 0) {
        error = std::string("cannot start ffmpeg: ") + std::strerror(errno);
        close(fds[0]);
        close(fds[1]);
        return false;
    }
    if (child == 0) {
        dup2(fds[0], STDIN_FILENO);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    close(fds[0]);
    input = fds[1];
    frameBytes = size_t(settings.width) * settings.height * 3;
    // A write to a pipe ffmpeg has closed must fail with EPIPE, not kill us.
    signal(SIGPIPE, SIG_IGN);
    return true;
}

bool cFfmpegEncoder::WriteFrame(const uint8_t* rgb) {
    size_t done = 0;
    while (done < frameBytes) {
        const ssize_t n = write(input, rgb + done, frameBytes - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += size_t(n);
    }
    return true;
}

std::string cFfmpegEncoder::Finish() {
    if (child <= 0) return "ffmpeg was not started";
    if (input >= 0) close(input);
    input = -1;
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    child = -1;
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return "";
    if (WIFEXITED(status) && WEXITSTATUS(status) == 127) return "ffmpeg could not be run";
    if (WIFSIGNALED(status)) return "ffmpeg was killed by signal " + std::to_string(WTERMSIG(status));
    return "ffmpeg failed with status " + std::to_string(WEXITSTATUS(status)) + " (its messages are above)";
}
