// JPEG decode to 32-bit pixels beside libjpeg-turbo, on a 660 x 300 (a
// screen) and a 4000 x 3000 picture with 2 x 2 chroma subsampling, written by
// libjpeg-turbo at quality 85. libjpeg-turbo decodes from memory into
// 0x00RRGGBB pixels (JCS_EXT_BGRX), once with the float inverse DCT and
// without fancy upsampling, the same arithmetic as ours, and once with its
// defaults. Ours loads the file through l_loadfile, as the player does.
// Throughput counts output pixels.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <jpeglib.h>
#include <string>
#include <unistd.h>
#include <vector>

#include "data/archive.h"
#include "data/heap.h"
#include "pictures/jpeg.h"
#include "tests/jpeg_files.h"

namespace {

struct sample {
    int32_t width, height;
    bytes file;
    std::string path;
};

const sample& input(int64_t which) {
    static std::vector<sample> samples = [] {
        std::vector<sample> all;
        for (auto [w, h] : {std::pair{660, 300}, std::pair{4000, 3000}}) {
            bytes file = libjpeg_encode(test_picture(w, h, 3), w, h, sampling::h2v2, 85, false);
            std::string path =
                "/tmp/korvite-bench-" + std::to_string(getpid()) + "-" + std::to_string(w) + ".jpg";
            FILE* f = fopen(path.c_str(), "wb");
            fwrite(file.data(), 1, file.size(), f);
            fclose(f);
            all.push_back({w, h, file, path});
        }
        return all;
    }();
    return samples[size_t(which)];
}

void finish(benchmark::State& state, const sample& s) {
    state.SetItemsProcessed(int64_t(state.iterations()) * s.width * s.height);
    state.SetLabel(std::to_string(s.width) + "x" + std::to_string(s.height) + ", " +
                   std::to_string(s.file.size()) + " bytes");
}

void BM_Korvite(benchmark::State& state) {
    const sample& s = input(state.range(0));
    open_archive("");
    h_deinit();
    h_init(64 << 20);  // a 4000 x 3000 picture of 32-bit pixels takes 48 MB
    // Each decode writes the same pixels, as libjpeg-turbo's below fill one
    // buffer. A first decode outside the timing touches every page of them
    // (and of the file buffer), as libjpeg-turbo's buffer is filled before
    // its timing: the figures are of decoding, not of the system's first
    // touch of fresh memory.
    uint8_t* pixels = nullptr;
    l_loadjpeg(s.path.c_str(), &pixels, 4, 2);
    for (auto _ : state) {
        h_next = h_base;
        l_loadjpeg(s.path.c_str(), &pixels, 4, 2);
        benchmark::DoNotOptimize(pixels);
    }
    h_deinit();
    finish(state, s);
}

void libjpeg(benchmark::State& state, bool faithful) {
    const sample& s = input(state.range(0));
    std::vector<uint8_t> out(size_t(s.width) * s.height * 4);
    for (auto _ : state) {
        jpeg_decompress_struct cinfo;
        jpeg_error_mgr jerr;
        cinfo.err = jpeg_std_error(&jerr);
        jpeg_create_decompress(&cinfo);
        jpeg_mem_src(&cinfo, s.file.data(), static_cast<unsigned long>(s.file.size()));
        jpeg_read_header(&cinfo, TRUE);
        cinfo.out_color_space = JCS_EXT_BGRX;
        if (faithful) {
            cinfo.dct_method = JDCT_FLOAT;
            cinfo.do_fancy_upsampling = FALSE;
        }
        jpeg_start_decompress(&cinfo);
        JSAMPROW rows[16];
        while (cinfo.output_scanline < cinfo.output_height) {
            JDIMENSION lines = std::min(16u, cinfo.output_height - cinfo.output_scanline);
            for (JDIMENSION i = 0; i < lines; ++i)
                rows[i] = out.data() + size_t(cinfo.output_scanline + i) * s.width * 4;
            jpeg_read_scanlines(&cinfo, rows, lines);
        }
        jpeg_finish_decompress(&cinfo);
        jpeg_destroy_decompress(&cinfo);
        benchmark::DoNotOptimize(out.data());
    }
    finish(state, s);
}

void BM_LibjpegFloat(benchmark::State& state) {
    libjpeg(state, true);
}

void BM_LibjpegDefault(benchmark::State& state) {
    libjpeg(state, false);
}

BENCHMARK(BM_Korvite)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LibjpegFloat)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LibjpegDefault)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    for (int64_t i = 0; i < 2; ++i) remove(input(i).path.c_str());
    return 0;
}
