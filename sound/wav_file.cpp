// WAV file: RIFF header, "fmt " chunk for PCM, "data" chunk; little-endian.
#include "sound/wav_file.h"

#include "base/part_file.h"

#include <algorithm>

namespace {

constexpr int kHeaderBytes = 44;
// The RIFF size fields are 32-bit; a longer stream would wrap.
constexpr int64_t kMaxDataBytes = 0xFFFFFFFFLL - (kHeaderBytes - 8);

void Put16(uint8_t* p, uint32_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}
void Put32(uint8_t* p, uint32_t v) {
    Put16(p, v & 0xFFFF);
    Put16(p + 2, v >> 16);
}

// The 44-byte header of a PCM file with dataBytes of samples.
void Header(uint8_t* h, int rate, int channels, uint32_t dataBytes) {
    const int blockAlign = channels * 2;
    std::copy_n("RIFF", 4, h);
    Put32(h + 4, dataBytes + kHeaderBytes - 8);
    std::copy_n("WAVEfmt ", 8, h + 8);
    Put32(h + 16, 16);  // size of the fmt chunk
    Put16(h + 20, 1);   // PCM
    Put16(h + 22, uint32_t(channels));
    Put32(h + 24, uint32_t(rate));
    Put32(h + 28, uint32_t(rate * blockAlign));
    Put16(h + 32, uint32_t(blockAlign));
    Put16(h + 34, 16);  // bits per sample
    std::copy_n("data", 4, h + 36);
    Put32(h + 40, dataBytes);
}

}  // namespace

// A file never closed is incomplete: its part file goes.
cWavFile::~cWavFile() {
    if (file) FinishPart(file, path, false);
}

bool cWavFile::Open(const std::string& wavPath, int rate, int channelCount) {
    if (file) FinishPart(file, path, false);
    path = wavPath;
    file = OpenPart(path);
    if (!file) return false;
    channels = channelCount;
    dataBytes = 0;
    failed = false;
    uint8_t header[kHeaderBytes];
    Header(header, rate, channels, 0);
    // The rate is kept in the header now; Close rewrites only the sizes.
    failed = std::fwrite(header, 1, kHeaderBytes, file) != size_t(kHeaderBytes);
    return !failed;
}

bool cWavFile::Write(const int16_t* samples, int64_t frames) {
    if (!file || failed) return false;
    const int64_t bytes = frames * channels * 2;
    if (dataBytes + bytes > kMaxDataBytes) return !(failed = true);
    // Samples are little-endian in the file, as they are in memory on the
    // machines this runs on; swap on a big-endian one.
#if __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    for (int64_t i = 0; i < frames * channels; ++i) {
        const uint16_t v = uint16_t(samples[i]);
        const uint8_t le[2] = {uint8_t(v), uint8_t(v >> 8)};
        if (std::fwrite(le, 1, 2, file) != 2) return !(failed = true);
    }
#else
    if (std::fwrite(samples, 1, size_t(bytes), file) != size_t(bytes)) return !(failed = true);
#endif
    dataBytes += bytes;
    return true;
}

bool cWavFile::Close() {
    if (!file) return false;
    uint8_t sizes[4];
    Put32(sizes, uint32_t(dataBytes + kHeaderBytes - 8));
    if (std::fseek(file, 4, SEEK_SET) != 0 || std::fwrite(sizes, 1, 4, file) != 4) failed = true;
    Put32(sizes, uint32_t(dataBytes));
    if (std::fseek(file, 40, SEEK_SET) != 0 || std::fwrite(sizes, 1, 4, file) != 4) failed = true;
    const bool whole = FinishPart(file, path, !failed);
    file = nullptr;
    return whole;
}
