// platform/sdl/input.cpp -- SDL's events as window messages. The backend only
// translates; what a key or a click means is the engine's business.
#include "platform/sdl/sdl.h"

// SDL's key codes as virtual-key codes; 0 for keys the engine has no code for.
static uint32_t virtual_key(SDL_Keycode key) {
    if (key >= SDLK_a && key <= SDLK_z) return 'A' + (key - SDLK_a);
    if (key >= SDLK_0 && key <= SDLK_9) return '0' + (key - SDLK_0);
    if (key >= SDLK_F1 && key <= SDLK_F12) return VK_F1 + (key - SDLK_F1);
    switch (key) {
    case SDLK_ESCAPE:
        return VK_ESCAPE;
    case SDLK_RETURN:
        return VK_RETURN;
    case SDLK_KP_ENTER:
        return VK_RETURN;
    case SDLK_SPACE:
        return VK_SPACE;
    case SDLK_BACKSPACE:
        return VK_BACK;
    case SDLK_TAB:
        return VK_TAB;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT:
        return VK_SHIFT;
    case SDLK_LCTRL:
    case SDLK_RCTRL:
        return VK_CONTROL;
    case SDLK_LALT:
    case SDLK_RALT:
        return VK_MENU;
    case SDLK_PAUSE:
        return VK_PAUSE;
    case SDLK_PAGEUP:
        return VK_PRIOR;
    case SDLK_PAGEDOWN:
        return VK_NEXT;
    case SDLK_END:
        return VK_END;
    case SDLK_HOME:
        return VK_HOME;
    case SDLK_LEFT:
        return VK_LEFT;
    case SDLK_UP:
        return VK_UP;
    case SDLK_RIGHT:
        return VK_RIGHT;
    case SDLK_DOWN:
        return VK_DOWN;
    case SDLK_INSERT:
        return VK_INSERT;
    case SDLK_DELETE:
        return VK_DELETE;
    default:
        return 0;
    }
}

static uint32_t button_message(uint8_t button, bool down) {
    switch (button) {
    case SDL_BUTTON_LEFT:
        return down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
    case SDL_BUTTON_RIGHT:
        return down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
    case SDL_BUTTON_MIDDLE:
        return down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
    default:
        return 0;
    }
}

// One close request per window: SDL reports the window manager's close as a
// window event and then as SDL_QUIT, and a signal as SDL_QUIT alone.
static bool close_requested = false;

static bool translate(const SDL_Event& e, os_window* w) {
    auto post = [w](uint32_t message, uintptr_t wparam, intptr_t lparam) {
        os_postmessage(w, message, wparam, lparam);
        return true;
    };
    switch (e.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        uint32_t vk = virtual_key(e.key.keysym.sym);
        if (vk == 0) return false;
        bool down = e.type == SDL_KEYDOWN;
        bool system = (e.key.keysym.mod & KMOD_ALT) || vk == VK_MENU || vk == VK_F1 + 9;
        uint32_t message =
            system ? (down ? WM_SYSKEYDOWN : WM_SYSKEYUP) : (down ? WM_KEYDOWN : WM_KEYUP);
        return post(message, vk, 0);
    }
    case SDL_MOUSEMOTION: {
        uintptr_t buttons = (e.motion.state & SDL_BUTTON_LMASK) ? MK_LBUTTON : 0;
        return post(WM_MOUSEMOVE, buttons, os_makelparam(e.motion.x, e.motion.y));
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        bool down = e.type == SDL_MOUSEBUTTONDOWN;
        uint32_t message = button_message(e.button.button, down);
        if (message == 0) return false;
        uint32_t state = SDL_GetMouseState(nullptr, nullptr);
        uintptr_t buttons = (state & SDL_BUTTON_LMASK) ? MK_LBUTTON : 0;
        return post(message, buttons, os_makelparam(e.button.x, e.button.y));
    }
    case SDL_MOUSEWHEEL:
        return post(WM_MOUSEWHEEL, static_cast<uintptr_t>(e.wheel.y * 120) << 16, 0);
    case SDL_WINDOWEVENT:
        if (e.window.event != SDL_WINDOWEVENT_CLOSE) {
            sdl::note_geometry(w);  // moved, resized, minimised, shown, ...
            return false;
        }
        [[fallthrough]];
    case SDL_QUIT:
        if (close_requested) return false;
        close_requested = true;
        return post(WM_CLOSE, 0, 0);
    default:
        return false;
    }
}

bool sdl::pump_events() {
    if (!sdl::video()) return false;
    os_window* w = sdl::the_window();
    bool posted = false;
    SDL_Event event;
    while (SDL_PollEvent(&event))
        if (w && !w->destroyed.load() && translate(event, w)) posted = true;
    return posted;
}
