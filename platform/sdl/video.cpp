// platform/sdl/video.cpp -- starting SDL's video with the backend's hints.
#include "platform/sdl/sdl.h"

bool sdl::video() {
    static int state = 0;  // 0 not tried, 1 running, -1 no display
    if (state == 0) {
        // The window surface in the visual's own format, and the screensaver left
        // as the user has it until the program itself switches it.
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "software");
        SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "0");
        state = SDL_InitSubSystem(SDL_INIT_VIDEO) == 0 ? 1 : -1;
    }
    return state == 1;
}
