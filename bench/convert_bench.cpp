// The converters on a 660 x 300 frame, each beside memcpy of as many bytes as
// it writes and beside SDL_ConvertPixels for the same pair of layouts.
//
// Every benchmark reports pixels per second (items) and destination bytes per
// second (bytes), so a converter and its memcpy compare by either figure.
#include <benchmark/benchmark.h>

#include <SDL.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "video/convert.h"

namespace {

constexpr int32_t width = 660, height = 300;

struct subject {
    const char* name;
    dx_converter convert;
    int32_t src_bytes, dst_bytes;  // per pixel
    uint32_t sdl_src, sdl_dst;
};

const subject subjects[] = {
    {"dx_565_xrgb32", dx_565_xrgb32, 2, 4, SDL_PIXELFORMAT_RGB565, SDL_PIXELFORMAT_XRGB8888},
    {"dx_565_xbgr32", dx_565_xbgr32, 2, 4, SDL_PIXELFORMAT_RGB565, SDL_PIXELFORMAT_XBGR8888},
    {"dx_565_rgba32", dx_565_rgba32, 2, 4, SDL_PIXELFORMAT_RGB565, SDL_PIXELFORMAT_RGBA8888},
    {"dx_565_bgra32", dx_565_bgra32, 2, 4, SDL_PIXELFORMAT_RGB565, SDL_PIXELFORMAT_BGRA8888},
    // Blue in the lowest byte is what SDL calls BGR24 (bytes in memory order).
    {"dx_565_rgb24", dx_565_rgb24, 2, 3, SDL_PIXELFORMAT_RGB565, SDL_PIXELFORMAT_BGR24},
    {"dx_565_bgr24", dx_565_bgr24, 2, 3, SDL_PIXELFORMAT_RGB565, SDL_PIXELFORMAT_RGB24},
    {"dx_copy16", dx_copy16, 2, 2, SDL_PIXELFORMAT_RGB565, SDL_PIXELFORMAT_RGB565},
    {"dx_565_bgr565", dx_565_bgr565, 2, 2, SDL_PIXELFORMAT_RGB565, SDL_PIXELFORMAT_BGR565},
    {"dx_565_555", dx_565_555, 2, 2, SDL_PIXELFORMAT_RGB565, SDL_PIXELFORMAT_RGB555},
    {"dx_565_bgr555", dx_565_bgr555, 2, 2, SDL_PIXELFORMAT_RGB565, SDL_PIXELFORMAT_BGR555},
    {"dx_copy32", dx_copy32, 4, 4, SDL_PIXELFORMAT_XRGB8888, SDL_PIXELFORMAT_XRGB8888},
};

// Buffers start on a cache line, as the frame buffers and the surfaces do.
class buffer {
  public:
    explicit buffer(size_t bytes) : store(bytes + 63), bytes(bytes) {}
    uint8_t* data() {
        auto address = reinterpret_cast<uintptr_t>(store.data());
        return store.data() + ((64 - address % 64) % 64);
    }
    size_t size() const { return bytes; }

  private:
    std::vector<uint8_t> store;
    size_t bytes;
};

// A frame of arbitrary pixels, so that table lookups land all over the tables.
buffer frame(size_t bytes) {
    buffer pixels(bytes);
    std::mt19937 random(6);
    for (size_t i = 0; i < bytes; ++i) pixels.data()[i] = static_cast<uint8_t>(random());
    return pixels;
}

void count(benchmark::State& state, const subject& s) {
    state.SetItemsProcessed(state.iterations() * width * height);
    state.SetBytesProcessed(state.iterations() * width * height * s.dst_bytes);
}

void converter(benchmark::State& state, const subject& s) {
    buffer src = frame(size_t{width} * height * s.src_bytes);
    buffer dst(size_t{width} * height * s.dst_bytes);
    for (auto _ : state) {
        s.convert(dst.data(), width * s.dst_bytes, src.data(), width * s.src_bytes, height);
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
    count(state, s);
}

void copy(benchmark::State& state, const subject& s) {
    buffer src = frame(size_t{width} * height * s.dst_bytes);
    buffer dst(src.size());
    for (auto _ : state) {
        std::memcpy(dst.data(), src.data(), dst.size());
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
    count(state, s);
}

void sdl(benchmark::State& state, const subject& s) {
    buffer src = frame(size_t{width} * height * s.src_bytes);
    buffer dst(size_t{width} * height * s.dst_bytes);
    for (auto _ : state) {
        if (SDL_ConvertPixels(width, height, s.sdl_src, src.data(), width * s.src_bytes, s.sdl_dst,
                              dst.data(), width * s.dst_bytes) != 0) {
            state.SkipWithError(SDL_GetError());
            break;
        }
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
    count(state, s);
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    for (const subject& s : subjects) {
        std::string name = s.name;
        benchmark::RegisterBenchmark(("convert/" + name).c_str(), converter, s);
        benchmark::RegisterBenchmark(("memcpy/" + name).c_str(), copy, s);
        benchmark::RegisterBenchmark(("sdl/" + name).c_str(), sdl, s);
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
