// First-pass scan of a module through libxmp's frame information.
#include "tests/support/song_scan.h"

#include <xmp.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace {

constexpr int kRate = 22050;  // the demo opens its sound output at this rate

}  // namespace

// Plays tick by tick until the song loops, noting order changes, note starts
// and levels.
cSongScan ScanFirstPass(const std::string& path) {
    cSongScan scan;
    xmp_context context = xmp_create_context();
    if (xmp_load_module(context, path.c_str()) != 0) {
        xmp_free_context(context);
        return scan;
    }
    xmp_module_info module;
    xmp_get_module_info(context, &module);
    scan.instruments = module.mod->ins;
    for (int i = 0; i < module.mod->ins; ++i) scan.names.push_back(module.mod->xxi[i].name);
    scan.orderStart.assign(module.mod->len, -1.0);
    xmp_start_player(context, kRate, 0);
    scan.loaded = true;
    xmp_frame_info info;
    double previousEnd = 0;
    while (xmp_play_frame(context) == 0) {
        xmp_get_frame_info(context, &info);
        // info.time is the module time at the end of the tick just rendered.
        const double start = previousEnd;
        if (info.loop_count > 0) {
            scan.restartOrder = info.pos;
            break;
        }
        previousEnd = info.time / 1000.0;
        if (scan.orderSequence.empty() || scan.orderSequence.back() != info.pos) {
            scan.orderSequence.push_back(info.pos);
            if (scan.orderStart[info.pos] < 0) scan.orderStart[info.pos] = start;
        }
        if (info.frame == 0) {
            for (int ch = 0; ch < module.mod->chn; ++ch) {
                const xmp_event& e = info.channel_info[ch].event;
                if (e.note > 0 && e.note < XMP_KEY_OFF && e.ins > 0) scan.notes.push_back({e.ins, start, info.pos, info.row});
            }
        }
        const int16_t* samples = static_cast<const int16_t*>(info.buffer);
        const int count = info.buffer_size / 2;
        double sum = 0;
        for (int i = 0; i < count; ++i) {
            const double v = samples[i] / 32768.0;
            sum += v * v;
            scan.peak = std::fmax(scan.peak, std::fabs(v));
        }
        scan.tickTime.push_back(start);
        scan.tickRms.push_back(count ? std::sqrt(sum / count) : 0);
        scan.duration = previousEnd;
    }
    xmp_end_player(context);
    xmp_release_module(context);
    xmp_free_context(context);
    return scan;
}
