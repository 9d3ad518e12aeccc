// ffmpeg child process: started in its own session with the frames' pipe as
// standard input; write frames, close, wait.
#include "capture/ffmpeg_encoder.h"

#include "capture/child_process.h"

#include <fcntl.h>
#include <signal.h>
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

// ffmpeg's arguments for the settings: the music, when there is one, is
// its descriptor 3, an output given as a descriptor the next one.
std::vector<std::string> Arguments(const cVideoSettings& s) {
    const std::string size = std::to_string(s.width) + "x" + std::to_string(s.height);
    const bool music = s.audio >= 0;
    std::vector<std::string> a = {"ffmpeg", "-nostdin", "-hide_banner", "-loglevel", "error", "-y",
            // frames on standard input
            "-f", "rawvideo", "-pix_fmt", "rgb24", "-video_size", size, "-framerate", std::to_string(s.fps),
            "-i", "pipe:0"};
    if (music) a.insert(a.end(), {"-i", "/dev/fd/3", "-map", "0:v:0", "-map", "1:a:0"});
    a.insert(a.end(), {"-c:v", "libx264", "-preset", "medium", "-crf", std::to_string(s.crf), "-pix_fmt", "yuv420p",
            // A key frame every second, each one starting a fragment.
            "-g", std::to_string(s.fps)});
    if (music) a.insert(a.end(), {"-c:a", "aac", "-b:a", kAudioBitRate});
    // Fragmented: each fragment (moof and mdat) is playable once it is in
    // the file, so a capture killed with ffmpeg loses only the fragment
    // under way and the frames in x264's look-ahead (about 40). The moov
    // waits for the first fragment, so that its edit lists start video and
    // audio together. Without -flush_packets ffmpeg keeps the fragments in
    // its own buffer until the end.
    a.insert(a.end(), {"-movflags", "+frag_keyframe+delay_moov+default_base_moof", "-flush_packets", "1", "-f", "mp4",
                       s.outputFd >= 0 ? "/dev/fd/" + std::to_string(music ? 4 : 3) : s.output});
    return a;
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
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        error = std::string("cannot make a pipe for ffmpeg: ") + std::strerror(errno);
        return false;
    }
    std::vector<int> passed;
    if (settings.audio >= 0) passed.push_back(settings.audio);
    if (settings.outputFd >= 0) passed.push_back(settings.outputFd);
    // In its own session: a hang-up or Ctrl-C stops only the capture
    // program, which then ends ffmpeg's input in order (Finish).
    child = StartChild(program, Arguments(settings), fds[0], error, passed);
    close(fds[0]);
    if (child < 0) {
        close(fds[1]);
        return false;
    }
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
    const pid_t ended = child;
    child = -1;
    return WaitChild(ended, "ffmpeg");
}
