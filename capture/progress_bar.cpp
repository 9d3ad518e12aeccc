// Progress bar: one line, rewritten after a carriage return.
#include "capture/progress_bar.h"

#include <unistd.h>

#include <cstdio>

namespace {

constexpr int kBarWidth = 30;
// Redraws at most this often: often enough to look alive, rarely enough to
// cost nothing next to drawing frames.
constexpr auto kRedrawInterval = std::chrono::milliseconds(200);

// Seconds as m:ss, or h:mm:ss from an hour.
std::string Clock(double seconds) {
    const long s = long(seconds + 0.5);
    char text[32];
    if (s >= 3600)
        std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", s / 3600, s / 60 % 60, s % 60);
    else
        std::snprintf(text, sizeof text, "%ld:%02ld", s / 60, s % 60);
    return text;
}

}  // namespace

cProgressBar::cProgressBar(int64_t totalFrames, FILE* stream, bool force)
    : total(totalFrames), out(stream), shown(force || isatty(fileno(stream))),
      started(std::chrono::steady_clock::now()), lastDrawn(started - kRedrawInterval) {}

std::string cProgressBar::Line(int64_t done, int64_t total, double seconds) {
    const double share = total > 0 ? double(done) / double(total) : 1.0;
    const int filled = int(share * kBarWidth);
    std::string bar(size_t(filled), '#');
    bar.resize(kBarWidth, '.');
    const double fps = seconds > 0 ? double(done) / seconds : 0.0;
    const std::string left = (fps > 0 && done < total) ? Clock(double(total - done) / fps) : (done >= total ? "0:00" : "?");
    char text[160];
    std::snprintf(text, sizeof text, "[%s] %lld/%lld frames  %.1f frames/s  %s left", bar.c_str(),
                  static_cast<long long>(done), static_cast<long long>(total), fps, left.c_str());
    return text;
}

void cProgressBar::Draw(int64_t done) {
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    // Clears to the end of the line: a shorter line leaves no tail behind.
    std::fprintf(out, "\r%s\x1b[K", Line(done, total, seconds).c_str());
    std::fflush(out);
}

void cProgressBar::Update(int64_t done) {
    if (!shown) return;
    const auto now = std::chrono::steady_clock::now();
    if (now - lastDrawn < kRedrawInterval) return;
    lastDrawn = now;
    Draw(done);
}

void cProgressBar::Finish(int64_t done) {
    if (!shown) return;
    Draw(done);
    std::fputc('\n', out);
    std::fflush(out);
}
