// Capture end-to-end kit: scratch directories, the program run through the
// shell, PNG reading with libpng, videos through ffmpeg and ffprobe.
#include "tests/support/capture_kit.h"

#include "tests/support/scratch_directory.h"

#include <png.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

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
    const std::string log = dir + "/capture.log";
    const std::string command = "cd " + Quoted(dir) + " && env -u DISPLAY LIBGL_ALWAYS_SOFTWARE=1 " + environment + " " +
                                Quoted(CaptureProgram()) + " " + arguments + " >" + Quoted(log) + " 2>&1";
    const int status = std::system(command.c_str());
    std::ifstream in(log);
    std::stringstream text;
    text << in.rdbuf();
    output = text.str();
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
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
        CommandOutput("ffmpeg -v error -i " + Quoted(path) + " -f rawvideo -pix_fmt rgb24 -");
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

}  // namespace capturetest
