// WAV files of the captured music: unnamed for the encoder, cut when stopped.
#include "capture/music_file.h"

#include "capture/capture_clock.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

// ---- Constants -------------------------------------------------------------

constexpr int kHeaderBytes = 44;
constexpr int kChannels = 2;
constexpr int kFrameBytes = kChannels * 2;

// ---- Local helpers ---------------------------------------------------------

void Put32(uint8_t* at, uint32_t v) {
    for (int i = 0; i < 4; ++i) at[i] = uint8_t(v >> (8 * i));
}

// The 44-byte header of a 16-bit stereo PCM file at the capture's rate with
// dataBytes of samples.
void Header(uint8_t* h, uint32_t dataBytes) {
    std::memcpy(h, "RIFF\0\0\0\0WAVEfmt \x10\0\0\0\x01\0\x02\0\0\0\0\0\0\0\0\0\x04\0\x10\0data\0\0\0\0", kHeaderBytes);
    Put32(h + 4, 36 + dataBytes);
    Put32(h + 24, uint32_t(kCaptureRate));
    Put32(h + 28, uint32_t(kCaptureRate * kFrameBytes));
    Put32(h + 40, dataBytes);
}

bool WriteAll(int fd, const void* data, size_t bytes) {
    const char* p = static_cast<const char*>(data);
    while (bytes > 0) {
        const ssize_t n = write(fd, p, bytes);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        bytes -= size_t(n);
    }
    return true;
}

}  // namespace

// ---- Public functions ------------------------------------------------------

int UnnamedTemporaryFile(std::string& error) {
    const char* tmp = std::getenv("TMPDIR");
    const std::string dir = tmp && *tmp ? tmp : "/tmp";
    int fd = open(dir.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
        std::string path = dir + "/vindelkrok-capture-XXXXXX";
        fd = mkostemp(path.data(), O_CLOEXEC);
        if (fd >= 0) unlink(path.c_str());
    }
    if (fd < 0) error = "cannot make a temporary file in " + dir + ": " + std::strerror(errno);
    return fd;
}

int RenderMusicFile(cCaptureMusic& music, int64_t first, int64_t& end, std::string& error) {
    const int fd = UnnamedTemporaryFile(error);
    if (fd < 0) return -1;
    uint8_t header[kHeaderBytes] = {};
    bool ok = WriteAll(fd, header, kHeaderBytes);
    uint64_t bytes = 0;
    if (ok)
        end = music.Render(first, end, [&](const int16_t* samples, int frames) {
            bytes += uint64_t(frames) * kFrameBytes;
            static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "WAV samples are little-endian");
            return WriteAll(fd, samples, size_t(frames) * kFrameBytes);
        });
    Header(header, uint32_t(bytes));
    ok = ok && end >= 0 && bytes <= 0xffffffffu - 36 && pwrite(fd, header, kHeaderBytes, 0) == kHeaderBytes;
    if (!ok) {
        error = std::string("cannot render the music into a temporary file: ") +
                (errno ? std::strerror(errno) : "the music did not end");
        close(fd);
        return -1;
    }
    return fd;
}

bool CutMusicFile(int fd, int64_t first, int64_t end, int fps) {
    const int64_t frames = FrameSample(end, fps, kCaptureRate) - FrameSample(first, fps, kCaptureRate);
    const uint32_t bytes = uint32_t(frames * kFrameBytes);
    uint8_t sizes[4];
    Put32(sizes, 36 + bytes);
    bool ok = pwrite(fd, sizes, 4, 4) == 4;
    Put32(sizes, bytes);
    return ok && pwrite(fd, sizes, 4, 40) == 4 && ftruncate(fd, kHeaderBytes + off_t(bytes)) == 0;
}

bool CutMusicFile(const std::string& path, int64_t first, int64_t end, int fps) {
    const int fd = open(path.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return false;
    const bool ok = CutMusicFile(fd, first, end, fps);
    return close(fd) == 0 && ok;
}
