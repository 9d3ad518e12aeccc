// Continuing an MP4 part: its whole frames found with ffprobe, copied and
// joined with the rest by ffmpeg's concat demuxer.
#include "capture/mp4_continue.h"

#include "capture/capture_resume.h"
#include "capture/child_process.h"
#include "capture/ffmpeg_encoder.h"
#include "capture/music_file.h"

#include <unistd.h>

#include <cerrno>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <vector>

namespace {

// ---- Constants -------------------------------------------------------------

const char* const kAudioBitRate = "192k";

// ---- Local helpers ---------------------------------------------------------

// ffprobe's output for the arguments after its name.
std::string Probe(const std::vector<std::string>& arguments, std::string& output) {
    const std::string program = FindOnPath("ffprobe");
    if (program.empty()) return MissingFfmpeg().empty() ? "ffprobe is not on PATH" : MissingFfmpeg();
    std::vector<std::string> all = {"ffprobe"};
    all.insert(all.end(), arguments.begin(), arguments.end());
    return ChildOutput(program, all, output);
}

// Runs ffmpeg with the arguments after its name and quiet options, handing
// it the descriptors as 3, 4, ...
std::string RunFfmpeg(const std::vector<std::string>& arguments, const std::vector<int>& passed) {
    const std::string program = FindOnPath("ffmpeg");
    if (program.empty()) return MissingFfmpeg();
    std::vector<std::string> all = {"ffmpeg", "-nostdin", "-hide_banner", "-loglevel", "error", "-y"};
    all.insert(all.end(), arguments.begin(), arguments.end());
    std::string error;
    const pid_t child = StartChild(program, all, -1, error, passed);
    return child > 0 ? WaitChild(child, "ffmpeg") : error;
}

// The value of key in ffprobe's "key=value" lines, or "".
std::string Value(const std::string& lines, const std::string& key) {
    std::istringstream in(lines);
    for (std::string line; std::getline(in, line);)
        if (line.rfind(key + "=", 0) == 0) return line.substr(key.size() + 1);
    return "";
}

// "a/b" as its two numbers; false unless both are above 0.
bool Ratio(const std::string& text, int64_t& a, int64_t& b) {
    return std::sscanf(text.c_str(), "%" SCNd64 "/%" SCNd64, &a, &b) == 2 && a > 0 && b > 0;
}

}  // namespace

// ---- Public functions ------------------------------------------------------

std::string ReadPartVideo(const std::string& path, cPartVideo& part) {
    std::string stream, packets;
    std::string error = Probe({"-v", "error", "-select_streams", "v:0", "-show_entries", "stream=width,height,r_frame_rate,time_base",
                               "-of", "default=nw=1", path}, stream);
    if (error.empty())
        // Quiet: the packet cut off by a kill makes the parser complain.
        error = Probe({"-v", "quiet", "-select_streams", "v:0", "-show_entries", "packet=pts,size,pos,flags", "-of", "csv=p=0", path},
                      packets);
    if (!error.empty()) return "cannot read " + path + ": " + error;
    int64_t rateNum = 0, rateDen = 0, baseNum = 0, baseDen = 0;
    part.width = std::atoi(Value(stream, "width").c_str());
    part.height = std::atoi(Value(stream, "height").c_str());
    if (part.width <= 0 || !Ratio(Value(stream, "r_frame_rate"), rateNum, rateDen) || rateNum % rateDen != 0 ||
        !Ratio(Value(stream, "time_base"), baseNum, baseDen))
        return path + " holds no video of a capture";
    part.fps = int(rateNum / rateDen);

    // Packets in decoding order. One counts as whole when it ends before the
    // file does and the demuxer did not find it cut short (flag C): a packet
    // cut off by the file's end is read as far as it goes, so one that ends
    // exactly there is taken as cut (at worst a frame is captured again). A run of them from the start shows frames 0 .. n-1 exactly when
    // its n packets end on frame n-1 at the latest: no frame in it waits
    // for a packet after it.
    std::error_code ignored;
    const int64_t fileSize = int64_t(std::filesystem::file_size(path, ignored));
    std::istringstream in(packets);
    int64_t count = 0, firstPts = 0, latest = -1;
    part.frames = 0;
    for (std::string line; std::getline(in, line);) {
        long long pts = 0, size = 0, pos = 0;
        char flags[16] = "";
        if (std::sscanf(line.c_str(), "%lld,%lld,%lld,%15s", &pts, &size, &pos, flags) != 4) break;
        if (std::strchr(flags, 'C') || pos < 0 || pos + size >= fileSize) break;
        if (count == 0) firstPts = pts;
        // The frame's number from its time: pts in time-base units.
        const int64_t frame = std::llround(double(pts - firstPts) * baseNum * part.fps / double(baseDen));
        if (frame < 0) break;
        latest = std::max(latest, frame);
        if (++count == latest + 1) part.frames = count;
    }
    if (part.frames == 0) return path + " holds no whole frame";
    return "";
}

std::string CopyPartFrames(const std::string& path, int64_t frames, int fd) {
    // In stream copy -frames:v counts packets in decoding order.
    return RunFfmpeg({"-i", path, "-map", "0:v:0", "-c", "copy", "-frames:v", std::to_string(frames), "-f", "mp4",
                      "/dev/fd/3"}, {fd});
}

std::string JoinParts(int head, int64_t headFrames, int rest, int64_t restFrames, int music, int fps,
                      const std::string& output) {
    // The concat demuxer's list, naming the parts by their descriptors; the
    // durations, given in whole frames, place the rest exactly after the
    // part's last frame.
    std::string error;
    const int list = UnnamedTemporaryFile(error);
    if (list < 0) return error;
    std::string text = "ffconcat version 1.0\nfile /dev/fd/3\nduration " + FramesAsSeconds(headFrames, fps) + "\n";
    if (rest >= 0) text += "file /dev/fd/4\nduration " + FramesAsSeconds(restFrames, fps) + "\n";
    if (write(list, text.data(), text.size()) != ssize_t(text.size())) error = std::strerror(errno);
    const std::string temporary = output + ".part";
    if (error.empty())
        error = RunFfmpeg({"-f", "concat", "-safe", "0", "-i", "/dev/fd/5", "-i", "/dev/fd/6", "-map", "0:v:0",
                           "-map", "1:a:0", "-c:v", "copy", "-c:a", "aac", "-b:a", kAudioBitRate, "-movflags",
                           "+faststart", "-f", "mp4", temporary},
                          {head, rest >= 0 ? rest : head, list, music});
    close(list);
    if (error.empty() && std::rename(temporary.c_str(), output.c_str()) != 0)
        error = "cannot rename " + temporary + " to " + output + ": " + std::strerror(errno);
    if (!error.empty()) std::remove(temporary.c_str());
    return error;
}
