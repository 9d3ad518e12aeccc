// Decode time of a 2048 x 2048 24-bit BMP: loadBmp against stb_image reading
// the same file in the same run. The file is written once into the temporary
// folder (and so sits in the page cache for both).
#include "image/bmp_reader.h"

#include <benchmark/benchmark.h>
#include <stb_image.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

constexpr int kSide = 2048;

// Writes the picture once per run and removes it at exit.
const std::string& PicturePath() {
    static const std::string path = [] {
        const char* base = std::getenv("TMPDIR");
        std::string name = std::string(base && *base ? base : "/tmp") + "/vk-bench-" + std::to_string(getpid()) + ".bmp";
        const uint32_t pixelBytes = uint32_t(kSide) * kSide * 3;
        uint8_t header[54] = {'B', 'M'};
        auto put = [&](int at, uint32_t v, int n) {
            for (int i = 0; i < n; ++i) header[at + i] = uint8_t(v >> (8 * i));
        };
        put(2, 54 + pixelBytes, 4);
        put(10, 54, 4);
        put(14, 40, 4);
        put(18, kSide, 4);
        put(22, kSide, 4);
        put(26, 1, 2);
        put(28, 24, 2);
        put(34, pixelBytes, 4);
        std::FILE* file = std::fopen(name.c_str(), "wb");
        std::fwrite(header, 1, sizeof header, file);
        std::string row(size_t(kSide) * 3, '\0');
        for (int y = 0; y < kSide; ++y) {
            for (size_t i = 0; i < row.size(); ++i) row[i] = char((i * 7 + size_t(y) * 13) & 0xFF);
            std::fwrite(row.data(), 1, row.size(), file);
        }
        std::fclose(file);
        std::atexit([] { std::remove(PicturePath().c_str()); });
        return name;
    }();
    return path;
}

void BM_LoadBmp(benchmark::State& state) {
    const char* path = PicturePath().c_str();
    for (auto _ : state) {
        std::unique_ptr<cRaster> raster(loadBmp(path));
        if (!raster) state.SkipWithError("loadBmp failed");
        benchmark::DoNotOptimize(raster->data);
    }
    state.SetBytesProcessed(state.iterations() * int64_t(kSide) * kSide * 3);
}
BENCHMARK(BM_LoadBmp)->Unit(benchmark::kMillisecond);

void BM_StbLoad(benchmark::State& state) {
    const char* path = PicturePath().c_str();
    for (auto _ : state) {
        int width = 0, height = 0, channels = 0;
        stbi_uc* pixels = stbi_load(path, &width, &height, &channels, 3);
        if (!pixels) state.SkipWithError("stbi_load failed");
        benchmark::DoNotOptimize(pixels);
        stbi_image_free(pixels);
    }
    state.SetBytesProcessed(state.iterations() * int64_t(kSide) * kSide * 3);
}
BENCHMARK(BM_StbLoad)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
