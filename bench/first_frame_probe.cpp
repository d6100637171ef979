// Preloaded into the music disk by first_frame: notes the moment the first
// frame reaches the window (SDL's window surface update, which both output
// paths end in) on the monotonic clock, in the file named by
// KORVITE_FIRST_FRAME, then passes the call on.
#include <SDL.h>
#include <dlfcn.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {
std::atomic<bool> noted{false};

void note_first_frame() {
    if (noted.exchange(true)) return;
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    if (const char* path = getenv("KORVITE_FIRST_FRAME"))
        if (FILE* f = fopen(path, "w")) {
            fprintf(f, "%lld\n", static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
            fclose(f);
        }
}
}  // namespace

extern "C" int SDL_UpdateWindowSurface(SDL_Window* window) {
    using update_fn = int (*)(SDL_Window*);
    static update_fn next =
        reinterpret_cast<update_fn>(dlsym(RTLD_NEXT, "SDL_UpdateWindowSurface"));
    int result = next(window);
    note_first_frame();
    return result;
}
