// render_song: renders the first pass of an XM module to a 16-bit stereo WAV
// file with libxmp, to listen to the music and measure its levels offline.
//
//   render_song <module.xm> <out.wav> [mixing rate, default 44100]
//
// Rendering stops where the module loops back to its restart position.
#include <xmp.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

// Appends a little-endian value to the WAV header.
void Put(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(uint8_t(value >> (8 * i)));
}

// Writes interleaved 16-bit stereo samples as a canonical WAV file.
bool WriteWav(const char* path, int rate, const std::vector<int16_t>& samples) {
    const uint32_t dataBytes = uint32_t(samples.size() * 2);
    std::vector<uint8_t> header;
    header.insert(header.end(), {'R', 'I', 'F', 'F'});
    Put(header, 36 + dataBytes, 4);
    header.insert(header.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    Put(header, 16, 4);
    Put(header, 1, 2);  // PCM
    Put(header, 2, 2);  // stereo
    Put(header, uint32_t(rate), 4);
    Put(header, uint32_t(rate) * 4, 4);
    Put(header, 4, 2);
    Put(header, 16, 2);
    header.insert(header.end(), {'d', 'a', 't', 'a'});
    Put(header, dataBytes, 4);
    FILE* file = std::fopen(path, "wb");
    if (!file) return false;
    bool ok = std::fwrite(header.data(), 1, header.size(), file) == header.size();
    for (int16_t s : samples) {  // little-endian whatever the host
        const uint8_t b[2] = {uint8_t(uint16_t(s) & 0xFF), uint8_t(uint16_t(s) >> 8)};
        ok = ok && std::fwrite(b, 1, 2, file) == 2;
    }
    return std::fclose(file) == 0 && ok;
}

}  // namespace

// Renders the module given to the WAV file given.
int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: render_song <module.xm> <out.wav> [rate]\n");
        return 2;
    }
    const int rate = argc > 3 ? std::atoi(argv[3]) : 44100;
    xmp_context context = xmp_create_context();
    if (xmp_load_module(context, argv[1]) != 0) {
        std::fprintf(stderr, "render_song: cannot load %s\n", argv[1]);
        xmp_free_context(context);
        return 1;
    }
    if (xmp_start_player(context, rate, 0) != 0) {
        std::fprintf(stderr, "render_song: cannot start the player at %d Hz\n", rate);
        xmp_release_module(context);
        xmp_free_context(context);
        return 1;
    }
    std::vector<int16_t> samples;
    xmp_frame_info info;
    while (xmp_play_frame(context) == 0) {
        xmp_get_frame_info(context, &info);
        if (info.loop_count > 0) break;  // the first pass is over
        const int16_t* buffer = static_cast<const int16_t*>(info.buffer);
        samples.insert(samples.end(), buffer, buffer + info.buffer_size / 2);
    }
    xmp_end_player(context);
    xmp_release_module(context);
    xmp_free_context(context);
    if (!WriteWav(argv[2], rate, samples)) {
        std::fprintf(stderr, "render_song: cannot write %s\n", argv[2]);
        return 1;
    }
    std::printf("%s: %.2f s at %d Hz\n", argv[2], samples.size() / 2.0 / rate, rate);
    return 0;
}
