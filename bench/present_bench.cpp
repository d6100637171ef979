// Frames per second through the GDI-style path under an X server of our own
// at depth 24, beside SDL's own blit of the same frame onto the same window's
// surface. Both run on the main thread; the third figure is the product's
// road, where another thread presents and the main thread serves it.
#include <benchmark/benchmark.h>

#include <SDL.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>

#include "data/heap.h"
#include "platform/messages.h"
#include "platform/window.h"
#include "system/sys.h"
#include "system/wndproc.h"
#include "tests/xserver.h"
#include "video/display.h"

namespace {

void fill_frame() {
    auto* frame = reinterpret_cast<uint16_t*>(v_buffer);
    for (int32_t i = 0; i < 660 * 300; ++i) frame[i] = static_cast<uint16_t>(i * 2654435761u >> 7);
}

void BM_GdiPresent(benchmark::State& state) {
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

BENCHMARK(BM_GdiPresent)->MinTime(1.0);
BENCHMARK(BM_SdlBlitSameFrame)->MinTime(1.0);

int main(int argc, char** argv) {
    x_server x(24);
    if (!x.ok()) return 1;
    static char cmdline[] = "";
    s_windows_init(cmdline, nullptr, cmdline, SW_SHOWDEFAULT);
    h_init(1 << 20);
    // The window and the GDI-style buffers as v_initbuffer makes them, without
    // starting the player.
    v_width = 660, v_height = 300, v_bpp = 16, v_pitch = 1320;
    v_format = v_pixelformat{16, 5, 6, 5, 11, 5, 0, 0xF800, 0x07E0, 0x001F, 0};
    os_windowclass wc{
        CS_HREDRAW | CS_VREDRAW, s_wndproc, s_instance, IDC_ARROW, BLACK_BRUSH, s_title};
    os_registerclass(&wc);
    s_hwnd = os_createwindow(0, s_title, s_title, WS_VISIBLE | WS_CAPTION | WS_SYSMENU, 0, 0, 660,
                             300, s_instance);
    v_initbuffer_gdi();
    fill_frame();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    printf("GDI-style present from a player thread: %.0f frames/s\n",
           frames_per_second_from_another_thread());
    return 0;
}
