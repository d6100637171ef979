// Frames per second through the DirectDraw-style and the GDI-style paths under
// an X server of our own (depth 24, or KORVITE_BENCH_DEPTH), beside SDL's own
// blit of the same frame onto the same window's surface. These run on the main
// thread; the last figures are the product's road, where another thread
// presents and the main thread serves it.
#include <benchmark/benchmark.h>

#include <SDL.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "data/heap.h"
#include "platform/messages.h"
#include "platform/window.h"
#include "system/sys.h"
#include "system/wndproc.h"
#include "tests/xserver.h"
#include "video/ddraw.h"
#include "video/display.h"

namespace {

void fill_frame() {
    auto* frame = reinterpret_cast<uint16_t*>(v_buffer);
    for (int32_t i = 0; i < 660 * 300; ++i) frame[i] = static_cast<uint16_t>(i * 2654435761u >> 7);
}

// Sets up the path asked for, giving the other one up; false if it cannot be had.
bool use_path(bool ddraw) {
    if (ddraw == (dx_ddraw != nullptr) && v_buffer) return true;
    v_release();
    if (ddraw) {
        if (!v_initbuffer_dx()) return false;
    } else {
        v_initbuffer_gdi();
    }
    fill_frame();
    return true;
}

void BM_DirectDrawPresent(benchmark::State& state) {
    if (!use_path(true)) {
        state.SkipWithError("no DirectDraw-style path on this display");
        return;
    }
    for (auto _ : state) v_present(v_buffer);
    state.counters["frames/s"] =
        benchmark::Counter(state.iterations(), benchmark::Counter::kIsRate);
}

void BM_GdiPresent(benchmark::State& state) {
    use_path(false);
    for (auto _ : state) v_present(v_buffer);
    state.counters["frames/s"] =
        benchmark::Counter(state.iterations(), benchmark::Counter::kIsRate);
}

void BM_SdlBlitSameFrame(benchmark::State& state) {
    SDL_Window* window = SDL_GetWindowFromID(1);
    SDL_Surface* source =
        SDL_CreateRGBSurfaceWithFormatFrom(v_buffer, 660, 300, 16, 1320, SDL_PIXELFORMAT_RGB565);
    for (auto _ : state) {
        SDL_BlitSurface(source, nullptr, SDL_GetWindowSurface(window), nullptr);
        SDL_UpdateWindowSurface(window);
    }
    SDL_FreeSurface(source);
    state.counters["frames/s"] =
        benchmark::Counter(state.iterations(), benchmark::Counter::kIsRate);
}

// The product's road: a player thread presents, the main thread's message
// loop does the paint for it.
double frames_per_second_from_another_thread() {
    std::atomic<int64_t> frames{0};
    std::thread player([&] {
        auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (std::chrono::steady_clock::now() < end) {
            v_present(v_buffer);
            frames.fetch_add(1);
        }
        os_postquitmessage(0);
    });
    s_messageloop();
    player.join();
    return frames.load() / 2.0;
}

}  // namespace

BENCHMARK(BM_DirectDrawPresent)->MinTime(1.0);
BENCHMARK(BM_GdiPresent)->MinTime(1.0);
BENCHMARK(BM_SdlBlitSameFrame)->MinTime(1.0);

int main(int argc, char** argv) {
    const char* depth = getenv("KORVITE_BENCH_DEPTH");
    x_server x(depth ? atoi(depth) : 24);
    if (!x.ok()) return 1;
    static char cmdline[] = "";
    s_windows_init(cmdline, nullptr, cmdline, SW_SHOWDEFAULT);
    h_init(16 << 20);
    // The window and the GDI-style buffers as v_initbuffer makes them, without
    // starting the player.
    v_width = 660, v_height = 300, v_bpp = 16, v_pitch = 1320;
    v_format = v_pixelformat{16, 5, 6, 5, 11, 5, 0, 0xF800, 0x07E0, 0x001F, 0};
    os_windowclass wc{
        CS_HREDRAW | CS_VREDRAW, s_wndproc, s_instance, IDC_ARROW, BLACK_BRUSH, s_title};
    os_registerclass(&wc);
    s_hwnd = os_createwindow(0, s_title, s_title, WS_VISIBLE | WS_CAPTION | WS_SYSMENU, 0, 0, 660,
                             300, s_instance);
    use_path(false);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    for (bool ddraw : {true, false})
        if (use_path(ddraw))
            printf("%s present from a player thread: %.0f frames/s\n",
                   ddraw ? "DirectDraw-style" : "GDI-style",
                   frames_per_second_from_another_thread());
    return 0;
}
