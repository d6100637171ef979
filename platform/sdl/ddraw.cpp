// platform/sdl/ddraw.cpp -- the DirectDraw-style display over SDL. The visible
// surface is the window's surface, in the visual's own format; back buffers
// and offscreen surfaces are SDL surfaces of that format. Exclusive fullscreen
// holds only when the display really switches to the exact mode asked for. A
// surface is lost while the window is minimised or hidden, or once its size or
// format is no longer the one the surface was made for; nothing restores it.
#include <cstring>

#include "platform/ddraw.h"
#include "platform/sdl/sdl.h"
#include "platform/window.h"

struct os_ddraw {
    os_window* window;
    bool fullscreen;  // the display was switched for us
};
struct os_ddraw2 {
    os_ddraw* ddraw;
};
struct os_clipper {
    os_window* window;
};
struct os_surface {
    bool primary, attached;
    os_window* window;
    int32_t width, height;  // the window's at creation (primary), or the surface's own
    uint32_t format;
    SDL_Surface* memory;  // back buffers and offscreen surfaces
    os_surface* back;
};

namespace {

// The window's pixel format: its surface's when it has one.
uint32_t window_format(os_window* w) {
    SDL_Surface* s = SDL_GetWindowSurface(w->sdl);
    return s ? s->format->format : SDL_GetWindowPixelFormat(w->sdl);
}

bool rgb(uint32_t format) {
    return format != SDL_PIXELFORMAT_UNKNOWN && !SDL_ISPIXELFORMAT_INDEXED(format) &&
           !SDL_ISPIXELFORMAT_FOURCC(format);
}

SDL_Surface* surface_of(uint32_t format, int32_t width, int32_t height) {
    if (!rgb(format) || width <= 0 || height <= 0) return nullptr;
    return SDL_CreateRGBSurfaceWithFormat(0, width, height, SDL_BITSPERPIXEL(format), format);
}

// Nearest pixel, same format, clipped to both surfaces: each destination pixel
// takes the source pixel its position falls on.
void stretch_copy(SDL_Surface* to, const SDL_Rect& d, SDL_Surface* from, const SDL_Rect& s) {
    if (d.w <= 0 || d.h <= 0 || s.w <= 0 || s.h <= 0) return;
    int bytes = to->format->BytesPerPixel;
    for (int32_t y = 0; y < d.h; ++y) {
        int32_t ty = d.y + y, fy = s.y + static_cast<int32_t>(int64_t{y} * s.h / d.h);
        if (ty < 0 || ty >= to->h || fy < 0 || fy >= from->h) continue;
        uint8_t* out = static_cast<uint8_t*>(to->pixels) + static_cast<size_t>(ty) * to->pitch;
        const uint8_t* in =
            static_cast<const uint8_t*>(from->pixels) + static_cast<size_t>(fy) * from->pitch;
        if (d.w == s.w && d.x >= 0 && d.x + d.w <= to->w && s.x >= 0 && s.x + s.w <= from->w) {
            memcpy(out + d.x * bytes, in + s.x * bytes, static_cast<size_t>(d.w) * bytes);
            continue;
        }
        for (int32_t x = 0; x < d.w; ++x) {
            int32_t tx = d.x + x, fx = s.x + static_cast<int32_t>(int64_t{x} * s.w / d.w);
            if (tx >= 0 && tx < to->w && fx >= 0 && fx < from->w)
                memcpy(out + tx * bytes, in + fx * bytes, bytes);
        }
    }
}

}  // namespace

int32_t dd_create(os_ddraw** ddraw) {
    *ddraw = nullptr;
    os_window* w = sdl::the_window();
    bool ok = false;
    sdl::on_main([&] { ok = sdl::video() && w && !w->destroyed.load(); });
    if (!ok) return DDERR_GENERIC;
    *ddraw = new os_ddraw{w, false};
    return DD_OK;
}

int32_t dd_queryinterface2(os_ddraw* ddraw, os_ddraw2** ddraw2) {
    *ddraw2 = new os_ddraw2{ddraw};
    return DD_OK;
}

int32_t dd_setcooperativelevel(os_ddraw2* ddraw2, os_window* window, uint32_t) {
    return window == ddraw2->ddraw->window ? DD_OK : DDERR_GENERIC;
}

int32_t dd_setdisplaymode(os_ddraw2* ddraw2, uint32_t width, uint32_t height, uint32_t bits,
                          uint32_t, uint32_t) {
    os_ddraw* dd = ddraw2->ddraw;
    int32_t result = DDERR_INVALIDMODE;
    sdl::on_main([&] {
        // The mode must be one the display lists, and be what it really shows
        // afterwards: some servers report success without switching anything.
        SDL_DisplayMode wanted{};
        bool listed = false;
        for (int i = 0; i < SDL_GetNumDisplayModes(0) && !listed; ++i)
            if (SDL_GetDisplayMode(0, i, &wanted) == 0 && wanted.w == static_cast<int>(width) &&
                wanted.h == static_cast<int>(height) && SDL_BITSPERPIXEL(wanted.format) == bits)
                listed = true;
        if (!listed) return;
        SDL_SetWindowDisplayMode(dd->window->sdl, &wanted);
        SDL_SetWindowFullscreen(dd->window->sdl, SDL_WINDOW_FULLSCREEN);
        dd->fullscreen = true;
        SDL_DisplayMode now{};
        if (SDL_GetCurrentDisplayMode(0, &now) == 0 && now.w == wanted.w && now.h == wanted.h &&
            SDL_BITSPERPIXEL(now.format) == bits)
            result = DD_OK;
    });
    return result;
}

int32_t dd_createsurface(os_ddraw2* ddraw2, const dd_surfacedesc* desc, os_surface** surface) {
    *surface = nullptr;
    os_window* w = ddraw2->ddraw->window;
    int32_t result = DDERR_GENERIC;
    sdl::on_main([&] {
        if (w->destroyed.load()) return;
        uint32_t format = window_format(w);
        if (desc->caps & DDSCAPS_PRIMARYSURFACE) {
            int width = 0, height = 0;
            SDL_GetWindowSize(w->sdl, &width, &height);
            auto* primary = new os_surface{true, false, w, width, height, format, nullptr, nullptr};
            if (desc->back_buffers == 1) {
                SDL_Surface* memory = surface_of(format, width, height);
                if (!memory) {
                    delete primary;
                    return;
                }
                primary->back =
                    new os_surface{false, true, w, width, height, format, memory, nullptr};
            }
            *surface = primary;
        } else {
            int32_t width = static_cast<int32_t>(desc->width),
                    height = static_cast<int32_t>(desc->height);
            SDL_Surface* memory = surface_of(format, width, height);
            if (!memory) return;
            *surface = new os_surface{false, false, w, width, height, format, memory, nullptr};
        }
        result = DD_OK;
    });
    return result;
}

int32_t dd_createclipper(os_ddraw2*, uint32_t, os_clipper** clipper) {
    *clipper = new os_clipper{nullptr};
    return DD_OK;
}

int32_t dd_clipper_sethwnd(os_clipper* clipper, uint32_t, os_window* window) {
    clipper->window = window;
    return DD_OK;
}

// Blits are always clipped to the window's surface.
int32_t dd_surface_setclipper(os_surface*, os_clipper*) {
    return DD_OK;
}

int32_t dd_surface_getpixelformat(os_surface* surface, dd_pixelformat* f) {
    uint32_t format = surface->format;
    *f = dd_pixelformat{32, 0, 0, 8, 0, 0, 0, 0};
    if (!rgb(format)) return DD_OK;  // a palette display: no RGB format
    int bits;
    SDL_PixelFormatEnumToMasks(format, &bits, &f->red_mask, &f->green_mask, &f->blue_mask,
                               &f->alpha_mask);
    f->flags = DDPF_RGB;
    f->rgb_bits = SDL_BYTESPERPIXEL(format) * 8;  // 5-5-5 counts as 16 bits
    return DD_OK;
}

int32_t dd_surface_getattachedsurface(os_surface* surface, uint32_t caps, os_surface** attached) {
    *attached = (caps & DDSCAPS_BACKBUFFER) ? surface->back : nullptr;
    return *attached ? DD_OK : DDERR_GENERIC;
}

// From what the window's events said (see sdl.h); a change of format shows when
// the surface is next shown.
int32_t dd_surface_islost(os_surface* surface) {
    os_window* w = surface->window;
    bool lost = w->destroyed.load() || w->minimised.load() || w->hidden.load();
    if ((surface->primary || surface->attached) &&
        (w->width.load() != surface->width || w->height.load() != surface->height))
        lost = true;
    return lost ? DDERR_SURFACELOST : DD_OK;
}

int32_t dd_surface_lock(os_surface* surface, const os_rect* r, dd_surfacedesc* desc, uint32_t) {
    SDL_Surface* m = surface->memory;
    if (!m || SDL_LockSurface(m) != 0) return DDERR_GENERIC;
    int32_t x = r ? r->left : 0, y = r ? r->top : 0;
    if (x < 0 || y < 0 || x >= m->w || y >= m->h) {
        SDL_UnlockSurface(m);
        return DDERR_GENERIC;
    }
    desc->surface = static_cast<uint8_t*>(m->pixels) + static_cast<size_t>(y) * m->pitch +
                    static_cast<size_t>(x) * m->format->BytesPerPixel;
    desc->pitch = m->pitch;
    desc->width = static_cast<uint32_t>(m->w);
    desc->height = static_cast<uint32_t>(m->h);
    return DD_OK;
}

int32_t dd_surface_unlock(os_surface* surface, void*) {
    if (!surface->memory) return DDERR_GENERIC;
    SDL_UnlockSurface(surface->memory);
    return DD_OK;
}

// Copies src (all of it, or a rectangle) onto the window at d (window
// coordinates) and shows it; on the main thread.
static int32_t show(os_window* w, SDL_Surface* src, const SDL_Rect& from, const SDL_Rect& d) {
    int32_t result = DDERR_GENERIC;
    sdl::on_main([&] {
        if (w->destroyed.load()) return;
        SDL_Surface* screen = SDL_GetWindowSurface(w->sdl);
        if (!screen || screen->format->format != src->format->format) return;
        if (SDL_MUSTLOCK(screen) && SDL_LockSurface(screen) != 0) return;
        stretch_copy(screen, d, src, from);
        if (SDL_MUSTLOCK(screen)) SDL_UnlockSurface(screen);
        SDL_UpdateWindowSurface(w->sdl);
        result = DD_OK;
    });
    return result;
}

int32_t dd_surface_flip(os_surface* surface, os_surface*, uint32_t) {
    if (!surface->back) return DDERR_GENERIC;
    SDL_Surface* m = surface->back->memory;
    return show(surface->window, m, SDL_Rect{0, 0, m->w, m->h}, SDL_Rect{0, 0, m->w, m->h});
}

int32_t dd_surface_blt(os_surface* dest, const os_rect* d, os_surface* src, const os_rect* s,
                       uint32_t) {
    if (!src->memory) return DDERR_GENERIC;
    // The visible surface is the window's: screen coordinates become the window's.
    int x = dest->window->x.load(), y = dest->window->y.load();
    SDL_Rect to{d->left - x, d->top - y, d->right - d->left, d->bottom - d->top};
    SDL_Rect from{s->left, s->top, s->right - s->left, s->bottom - s->top};
    return show(dest->window, src->memory, from, to);
}

void dd_release(os_ddraw* ddraw) {
    // Giving the display object up gives the display back as it was.
    if (ddraw->fullscreen)
        sdl::on_main([&] {
            if (!ddraw->window->destroyed.load()) SDL_SetWindowFullscreen(ddraw->window->sdl, 0);
        });
    delete ddraw;
}

void dd_release2(os_ddraw2* ddraw2) {
    delete ddraw2;
}

void dd_surface_release(os_surface* surface) {
    if (surface->attached) return;
    if (surface->back) {
        SDL_FreeSurface(surface->back->memory);
        delete surface->back;
    }
    if (surface->memory) SDL_FreeSurface(surface->memory);
    delete surface;
}

void dd_clipper_release(os_clipper* clipper) {
    delete clipper;
}
