// The GIF reader beside giflib's DGifSlurp on the same files: a 660 x 300
// screen and a 4000 x 3000 picture, 256 colours, drawn like artwork or pure
// noise, written by giflib. Both read the file from disk (the page cache) and
// decode it whole; the rate counts pixels.
#include <benchmark/benchmark.h>
#include <gif_lib.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "pictures/gif.h"
#include "pictures/picture.h"
#include "tests/giflib_oracle.h"
#include "tests/sample_data.h"

namespace {

using bytes = std::vector<uint8_t>;

struct sample {
    int width, height;
};
constexpr sample sizes[] = {{660, 300}, {4000, 3000}};

// The sample files, by size and content, written when first asked for and
// removed when the run ends.
struct sample_files {
    std::string paths[2][2];
    ~sample_files() {
        for (auto& row : paths)
            for (const std::string& path : row)
                if (!path.empty()) unlink(path.c_str());
    }
} files;

const std::string& sample_file(int64_t size, int64_t noise) {
    std::string& path = files.paths[size][noise];
    if (!path.empty()) return path;
    const sample& s = sizes[size];
    bytes pixels = picture_like(size_t(s.width), size_t(s.height));
    if (noise) {
        std::mt19937 rng(1);
        for (uint8_t& p : pixels) p = uint8_t(rng());
    }
    bytes table(768);
    for (size_t i = 0; i < table.size(); ++i) table[i] = uint8_t(i * 7);
    bytes file = giflib::write(s.width, s.height, pixels, table);
    char name[] = "/tmp/korvite-gif-bench-XXXXXX";
    int fd = mkstemp(name);
    if (fd < 0 || write(fd, file.data(), file.size()) != ssize_t(file.size())) abort();
    close(fd);
    path = name;
    return path;
}

void finish(benchmark::State& state) {
    const sample& s = sizes[state.range(0)];
    state.SetItemsProcessed(int64_t(state.iterations()) * s.width * s.height);
    state.SetLabel(std::to_string(s.width) + "x" + std::to_string(s.height) +
                   (state.range(1) ? " noise" : " artwork"));
}

void BM_LoadGif(benchmark::State& state) {
    const std::string& path = sample_file(state.range(0), state.range(1));
    for (auto _ : state) {
        uint8_t* pixels = nullptr;
        l_loadgif(path.c_str(), &pixels, 2, 0);
        benchmark::DoNotOptimize(pixels);
        free(pixels);
    }
    finish(state);
}

void BM_GiflibSlurp(benchmark::State& state) {
    const std::string& path = sample_file(state.range(0), state.range(1));
    for (auto _ : state) {
        int error = 0;
        GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
        if (!gif || DGifSlurp(gif) != GIF_OK) state.SkipWithError("giflib could not read it");
        benchmark::DoNotOptimize(gif->SavedImages[0].RasterBits);
        DGifCloseFile(gif, &error);
    }
    finish(state);
}

void cases(benchmark::internal::Benchmark* b) {
    for (int64_t size : {0, 1})
        for (int64_t noise : {0, 1}) b->Args({size, noise});
    b->Unit(benchmark::kMicrosecond);
}

BENCHMARK(BM_LoadGif)->Apply(cases);
BENCHMARK(BM_GiflibSlurp)->Apply(cases);

}  // namespace

BENCHMARK_MAIN();
