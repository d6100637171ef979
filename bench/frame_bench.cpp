// One frame built as the player builds it on every pass (the whole screen
// painted through pal16, then the play time drawn over it) beside memcpy of
// the frame's 396,000 bytes, and beside a plain loop of one lookup per pixel.
//
// Each benchmark reports frame bytes per second, so the three compare directly.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "app/paint.h"
#include "app/player.h"
#include "app/playtime.h"
#include "app/startup.h"
#include "video/display.h"

namespace {

constexpr int32_t width = 660, height = 300, pixels = width * height;
constexpr int64_t frame_bytes = int64_t{pixels} * 2;

// Start on a cache line, as the frame buffers do.
template <typename T>
T* aligned(std::vector<uint8_t>& store) {
    auto address = reinterpret_cast<uintptr_t>(store.data());
    return reinterpret_cast<T*>(store.data() + (64 - address % 64) % 64);
}

struct assets {
    std::vector<uint8_t> frame_store = std::vector<uint8_t>(frame_bytes + 64);
    std::vector<uint8_t> picture_store = std::vector<uint8_t>(pixels + 64);
    std::vector<uint8_t> palette_store = std::vector<uint8_t>(512 + 64);
    std::vector<uint8_t> font = std::vector<uint8_t>(84 * 12);
    uint16_t* frame = aligned<uint16_t>(frame_store);
    uint8_t* picture = aligned<uint8_t>(picture_store);
    uint16_t* palette = aligned<uint16_t>(palette_store);

    // Arbitrary indices, so that lookups land all over the table; a song that
    // has played for 12:34, so that draw_time reads the clock and draws five
    // characters.
    assets() {
        std::mt19937 random(14);
        for (int32_t i = 0; i < pixels; ++i) picture[i] = static_cast<uint8_t>(random());
        for (int32_t i = 0; i < 256; ++i) palette[i] = static_cast<uint16_t>(random());
        for (uint8_t& f : font) f = static_cast<uint8_t>(random());
        v_buffer = reinterpret_cast<uint8_t*>(frame);
        v_width = width;
        v_size = static_cast<int32_t>(frame_bytes);
        digits = font.data();
        pal16 = palette;
        cur_song = 1;
        time_start = 0;
    }
};

assets& the_assets() {
    static assets a;
    return a;
}

void report(benchmark::State& state) {
    state.SetBytesProcessed(state.iterations() * frame_bytes);
    state.counters["frames/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_FrameBuild(benchmark::State& state) {
    assets& a = the_assets();
    for (auto _ : state) {
        paint_screen(a.frame, a.picture, pal16, v_size / 2);
        draw_time();
        benchmark::ClobberMemory();
    }
    report(state);
}

void BM_MemcpyFrame(benchmark::State& state) {
    assets& a = the_assets();
    std::vector<uint8_t> source_store(frame_bytes + 64);
    auto* source = aligned<uint8_t>(source_store);
    std::memset(source, 0x5A, frame_bytes);
    for (auto _ : state) {
        std::memcpy(a.frame, source, frame_bytes);
        benchmark::ClobberMemory();
    }
    report(state);
}

// What the frame build would cost with one table lookup per pixel.
void BM_PlainLookupLoop(benchmark::State& state) {
    assets& a = the_assets();
    for (auto _ : state) {
        uint16_t* out = a.frame;
        const uint8_t* in = a.picture;
        for (int32_t i = 0; i < pixels; ++i) out[i] = a.palette[in[i]];
        benchmark::ClobberMemory();
    }
    report(state);
}

BENCHMARK(BM_FrameBuild);
BENCHMARK(BM_MemcpyFrame);
BENCHMARK(BM_PlainLookupLoop);

}  // namespace

BENCHMARK_MAIN();
