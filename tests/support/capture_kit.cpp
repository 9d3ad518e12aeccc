// Capture end-to-end kit: scratch directories, the program run through the
// shell, PNG reading with libpng, videos through ffmpeg and ffprobe.
#include "tests/support/capture_kit.h"

#include "tests/support/scratch_directory.h"

#include <png.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace capturetest {

namespace {

// Output of a shell command (standard output only).
std::string CommandOutput(const std::string& command) {
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return out;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    pclose(pipe);
    return out;
}

std::string Quoted(const std::string& s) { return "'" + s + "'"; }

// The shell command that runs the capture in dir, its output into the log,
// with only descriptors 0 to 2 open, as when started from a terminal.
std::string CaptureCommand(const std::string& dir, const std::string& arguments, const std::string& environment) {
    return "cd " + Quoted(dir) + " && exec env -u DISPLAY LIBGL_ALWAYS_SOFTWARE=1 " + environment + " " +
           Quoted(CaptureProgram()) + " " + arguments + " >" + Quoted(dir + "/capture.log") +
           " 2>&1 3>&- 4>&- 5>&- 6>&- 7>&- 8>&- 9>&-";
}

std::string ReadLog(const std::string& dir) {
    std::ifstream in(dir + "/capture.log");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void Sleep(double seconds) { std::this_thread::sleep_for(std::chrono::duration<double>(seconds)); }

}  // namespace

std::string CaptureProgram() { return VK_CAPTURE_PROGRAM; }

std::string MakeWorkDirectory() {
    const std::string dir = MakeScratchDirectory();
    std::filesystem::create_directory(dir + "/Data");
    return dir;
}


void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

int RunCapture(const std::string& dir, const std::string& arguments, std::string& output, const std::string& environment) {
    const int status = std::system(CaptureCommand(dir, arguments, environment).c_str());
    output = ReadLog(dir);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

pid_t StartCapture(const std::string& dir, const std::string& arguments, const std::string& environment) {
    const std::string command = CaptureCommand(dir, arguments, environment);
    const pid_t pid = fork();
    if (pid == 0) {
        setsid();
        execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    return pid;
}

int WaitCapture(pid_t capture, const std::string& dir, std::string& output) {
    int status = 0;
    if (waitpid(capture, &status, 0) != capture) return -1;
    output = ReadLog(dir);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

pid_t ChildOf(pid_t pid) {
    const std::string task = std::to_string(pid);
    std::ifstream children("/proc/" + task + "/task/" + task + "/children");
    pid_t child = -1;
    children >> child;
    return child;
}

bool WaitUntilGone(pid_t pid, double seconds) {
    for (double waited = 0; waited < seconds; waited += 0.05) {
        std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
        std::string line;
        if (!std::getline(stat, line)) return true;
        // The state follows the command's closing parenthesis.
        const size_t close = line.rfind(')');
        if (close != std::string::npos && close + 2 < line.size() && line[close + 2] == 'Z') return true;
        Sleep(0.05);
    }
    return false;
}

std::string PacedFfmpeg(const std::string& dir) {
    std::string real = CommandOutput("command -v ffmpeg");
    while (!real.empty() && real.back() == '\n') real.pop_back();
    std::filesystem::create_directories(dir + "/bin");
    const std::string wrapper = dir + "/bin/ffmpeg";
    // -re before the frames' input makes ffmpeg read it at its frame rate.
    std::ofstream(wrapper) << "#!/bin/sh\n"
                              "case \" $* \" in *\" pipe:0 \"*) exec " << Quoted(real) << " -re \"$@\" ;; esac\n"
                              "exec " << Quoted(real) << " \"$@\"\n";
    std::filesystem::permissions(wrapper, std::filesystem::perms::owner_all);
    return "PATH=" + Quoted(dir + "/bin") + ":\"$PATH\"";
}

int64_t FramesOnceReadable(const std::string& path, int64_t minimum, pid_t capture) {
    const std::string copy = path + ".snapshot";
    for (double waited = 0; waited < 60; waited += 0.1) {
        siginfo_t ended{};  // looked at, not reaped: WaitCapture reaps it
        if (waitid(P_PID, id_t(capture), &ended, WEXITED | WNOHANG | WNOWAIT) != 0 || ended.si_pid != 0) return -1;
        std::error_code error;
        if (std::filesystem::copy_file(path, copy, std::filesystem::copy_options::overwrite_existing, error)) {
            const std::string frames = CommandOutput("ffprobe -v quiet -count_frames -select_streams v:0 -show_entries "
                                                     "stream=nb_read_frames -of default=noprint_wrappers=1:nokey=1 " +
                                                     Quoted(copy));
            if (!frames.empty() && std::isdigit(static_cast<unsigned char>(frames[0])) && std::stoll(frames) >= minimum)
                return std::stoll(frames);
        }
        Sleep(0.1);
    }
    return -1;
}

cImage ReadPng(const std::string& path) {
    cImage image;
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&png, path.c_str())) return image;
    png.format = PNG_FORMAT_RGB;
    image.rgb.resize(PNG_IMAGE_SIZE(png));
    if (!png_image_finish_read(&png, nullptr, image.rgb.data(), 0, nullptr)) {
        png_image_free(&png);
        return cImage{};
    }
    image.width = int(png.width);
    image.height = int(png.height);
    return image;
}

std::vector<cImage> DecodeVideo(const std::string& path, int width, int height) {
    const std::string raw =
        CommandOutput("ffmpeg -v error -i " + Quoted(path) + " -vsync passthrough -f rawvideo -pix_fmt rgb24 -");
    const size_t frameBytes = size_t(width) * height * 3;
    std::vector<cImage> frames;
    for (size_t at = 0; at + frameBytes <= raw.size(); at += frameBytes) {
        cImage f;
        f.width = width;
        f.height = height;
        f.rgb.assign(raw.begin() + long(at), raw.begin() + long(at + frameBytes));
        frames.push_back(std::move(f));
    }
    return frames;
}

std::string Probe(const std::string& path, const std::string& stream, const std::string& entry) {
    std::string value = CommandOutput("ffprobe -v error " + std::string(entry == "nb_read_frames" ? "-count_frames " : "") +
                                      "-select_streams " + stream + " -show_entries stream=" + entry +
                                      " -of default=noprint_wrappers=1:nokey=1 " + Quoted(path));
    while (!value.empty() && (value.back() == '\n' || value.back() == '\r')) value.pop_back();
    return value;
}

double MeanDifference(const cImage& a, const cImage& b) {
    if (a.width != b.width || a.height != b.height || a.rgb.empty()) return 255;
    double sum = 0;
    for (size_t i = 0; i < a.rgb.size(); ++i) sum += std::abs(int(a.rgb[i]) - int(b.rgb[i]));
    return sum / double(a.rgb.size());
}

std::vector<std::string> FrameTimes(const std::string& path) {
    std::istringstream lines(CommandOutput("ffprobe -v error -select_streams v:0 -show_entries frame=pts_time "
                                           "-of default=noprint_wrappers=1:nokey=1 " + Quoted(path)));
    std::vector<std::string> times;
    for (std::string line; std::getline(lines, line);) times.push_back(line);
    return times;
}

std::vector<int16_t> DecodeAudio(const std::string& path) {
    const std::string raw = CommandOutput("ffmpeg -v error -i " + Quoted(path) +
                                          " -map 0:a:0 -f s16le -ac 2 -ar 48000 -");
    std::vector<int16_t> samples(raw.size() / 2);
    std::memcpy(samples.data(), raw.data(), samples.size() * 2);
    return samples;
}

std::vector<std::string> TopLevelBoxes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> boxes;
    unsigned char h[8];
    // 32-bit sizes only (the small test files need no more): 0 and 1 end it.
    while (in.read(reinterpret_cast<char*>(h), 8)) {
        boxes.emplace_back(reinterpret_cast<char*>(h + 4), 4);
        const uint32_t size = (uint32_t(h[0]) << 24) | (uint32_t(h[1]) << 16) | (uint32_t(h[2]) << 8) | h[3];
        if (size < 8) break;
        in.seekg(std::streamoff(size - 8), std::ios::cur);
    }
    return boxes;
}

}  // namespace capturetest
