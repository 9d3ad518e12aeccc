// Renderer: libxmp tick by tick, with trigger stamps and leftover frames.
#include "sound/renderer.h"

#include "sound/sound.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>

namespace {

// ---- Constants -------------------------------------------------------------

// The text every XM file begins with.
constexpr char kXmIdText[] = "Extended Module: ";

// ---- Local helpers ---------------------------------------------------------

// libxmp's load result as our error code.
int LoadError(int xmpResult, int systemErrno) {
    switch (xmpResult) {
    case 0: return SOUND_ERR_NONE;
    case -XMP_ERROR_LOAD:
    case -XMP_ERROR_DEPACK: return SOUND_ERR_FILE_BAD;
    case -XMP_ERROR_SYSTEM: return systemErrno == ENOMEM ? SOUND_ERR_MEMORY : SOUND_ERR_FILE_BAD;
    default: return SOUND_ERR_FILE_FORMAT;  // unknown format, or nothing libxmp can take
    }
}

// Reads a whole file; a SOUND_ERR_* code.
int ReadWholeFile(const char* name, std::vector<uint8_t>& bytes) {
    FILE* f = std::fopen(name, "rb");
    if (!f) return (errno == ENOENT || errno == ENOTDIR) ? SOUND_ERR_FILE_NOT_FOUND : SOUND_ERR_FILE_BAD;
    int error = SOUND_ERR_NONE;
    struct stat st;
    if (fstat(fileno(f), &st) != 0 || !S_ISREG(st.st_mode)) {
        error = SOUND_ERR_FILE_BAD;  // a directory or a device: nothing to read
    } else {
        try {
            bytes.resize(size_t(st.st_size));
        } catch (const std::bad_alloc&) {
            error = SOUND_ERR_MEMORY;
        }
        if (!error && std::fread(bytes.data(), 1, bytes.size(), f) != bytes.size()) error = SOUND_ERR_FILE_BAD;
    }
    std::fclose(f);
    return error;
}

}  // namespace

// ---- Public functions ------------------------------------------------------

cRenderer::cRenderer() : context(xmp_create_context()) {}

cRenderer::~cRenderer() {
    if (started) xmp_end_player(context);
    if (loaded) xmp_release_module(context);
    xmp_free_context(context);
}

// The file is read here rather than by libxmp so that a missing file, an
// unreadable one and a lack of memory each get their own code.
int cRenderer::LoadFile(const char* name) {
    std::vector<uint8_t> bytes;
    const int error = ReadWholeFile(name, bytes);
    return error ? error : LoadMemory(bytes.data(), bytes.size());
}

int cRenderer::LoadMemory(const void* data, size_t size) {
    if (started) xmp_end_player(context);
    if (loaded) xmp_release_module(context);
    started = loaded = false;
    module = nullptr;
    channels = instruments = 0;
    // The layer plays XM modules only. libxmp would take any format it
    // recognises from the content, and some of its other loaders crash the
    // player on damaged files (a broken 4-channel MOD makes libxmp 4.5's
    // xmp_play_frame write through a null pointer).
    if (size < sizeof kXmIdText - 1 || std::memcmp(data, kXmIdText, sizeof kXmIdText - 1) != 0)
        return SOUND_ERR_FILE_FORMAT;
    errno = 0;
    const int result = xmp_load_module_from_memory(context, data, long(size));
    if (result != 0) return LoadError(result, errno);
    loaded = true;
    xmp_module_info info;
    xmp_get_module_info(context, &info);
    module = info.mod;
    channels = module->chn;
    instruments = module->ins;
    return SOUND_ERR_NONE;
}

bool cRenderer::Start(int mixRate) {
    if (!loaded) return false;
    if (started) xmp_end_player(context);
    started = xmp_start_player(context, mixRate, 0) == 0;
    rate = started ? mixRate : 0;
    position = 0;
    firstPassEnd = -1;
    leftover = nullptr;
    leftoverFrames = 0;
    detector.Reset(module);
    return started;
}

void cRenderer::Render(int16_t* out, int frames, std::vector<cSoundEvent>& events) {
    while (frames > 0) {
        if (leftoverFrames == 0 && !NextTick(events)) break;
        const int n = std::min(frames, leftoverFrames);
        std::memcpy(out, leftover, size_t(n) * 2 * sizeof(int16_t));
        out += 2 * n;
        leftover += 2 * n;
        leftoverFrames -= n;
        frames -= n;
        position += n;
    }
    if (frames > 0) {  // not started, or libxmp has stopped: silence
        std::memset(out, 0, size_t(frames) * 2 * sizeof(int16_t));
        position += frames;
    }
}

void cRenderer::Skip(int64_t frames, std::vector<cSoundEvent>& events) {
    constexpr int kBlock = 4096;
    std::vector<int16_t> unheard(2 * kBlock);
    while (frames > 0) {
        const int n = int(std::min<int64_t>(frames, kBlock));
        Render(unheard.data(), n, events);
        frames -= n;
    }
    if (leftoverFrames == 0) NextTick(events);
}

// ---- Private members -------------------------------------------------------

bool cRenderer::NextTick(std::vector<cSoundEvent>& events) {
    xmp_frame_info info;
    if (!started || xmp_play_frame(context) != 0) return false;
    xmp_get_frame_info(context, &info);
    leftover = static_cast<const int16_t*>(info.buffer);
    leftoverFrames = info.buffer_size / int(2 * sizeof(int16_t));
    if (leftoverFrames == 0) return false;
    // libxmp counts a loop on the first tick played after the end.
    if (firstPassEnd < 0 && info.loop_count > 0) firstPassEnd = position;
    detector.OnTick(info, channels, position, events);
    return true;
}
