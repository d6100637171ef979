// platform/sdl/desktop.cpp -- message boxes, the screensaver and the end of the
// process over SDL.
#include <cstdio>
#include <cstdlib>

#include "platform/desktop.h"
#include "platform/sdl/sdl.h"

void os_messagebox(os_window* owner, const char* text, const char* caption, uint32_t style) {
    fprintf(stderr, "%s: %s\n", caption, text);
    fflush(stderr);
    // The caller waits until the box is dismissed; SDL shows it on the main
    // thread, which owns the display connection. Without a display SDL fails at
    // once and the text on stderr is all there is.
    uint32_t flags = (style & MB_ICONERROR) ? SDL_MESSAGEBOX_ERROR : SDL_MESSAGEBOX_INFORMATION;
    sdl::on_main([&] {
        SDL_Window* parent = owner && !owner->destroyed.load() ? owner->sdl : nullptr;
        SDL_ShowSimpleMessageBox(flags, caption, text, parent);
    });
}

int32_t os_getsaveractive() {
    int32_t active = 0;
    sdl::on_main([&] { active = sdl::video() && SDL_IsScreenSaverEnabled() ? 1 : 0; });
    return active;
}

void os_setsaveractive(int32_t active) {
    sdl::on_main([&] {
        if (!sdl::video()) return;
        if (active)
            SDL_EnableScreenSaver();
        else
            SDL_DisableScreenSaver();
    });
}

void os_exit(int code) {
    fflush(stdout);
    std::exit(code);
}
