// platform/sdl/gdi.cpp -- bitmaps in plain memory, and the stretch copy onto
// the window's surface, done on the main thread: nearest pixel (dropped or
// repeated), each channel widened by repeating its top bits.
#include <cstdlib>
#include <cstring>
#include <type_traits>
#include <vector>

#include "platform/gdi.h"
#include "platform/sdl/sdl.h"

struct os_bitmap {
    os_bitmapinfo info;
    int32_t width, height, stride;
    uint8_t* pixels;
};

// A memory context holds the bitmap selected into it; the window's paint
// context holds the stretch asked for until the paint ends.
struct os_dc {
    bool memory;
    os_bitmap* selected;
    os_bitmap* source;
    SDL_Rect dest, from;
};

os_dc* gdi_createcompatibledc(os_dc*) {
    bool drawable = false;
    sdl::on_main([&] {
        os_window* w = sdl::the_window();
        drawable = sdl::video() && w && SDL_GetWindowSurface(w->sdl);
    });
    return drawable ? new os_dc{true, nullptr, nullptr, {}, {}} : nullptr;
}

static bool is_565(const os_bitmapinfo& i) {
    return i.bitcount == 16 && i.masks[0] == 0xF800 && i.masks[1] == 0x07E0 && i.masks[2] == 0x001F;
}

static bool is_888(const os_bitmapinfo& i) {
    return i.bitcount == 32 && i.masks[0] == 0xFF0000 && i.masks[1] == 0xFF00 && i.masks[2] == 0xFF;
}

os_bitmap* gdi_createdibsection(os_dc*, const os_bitmapinfo* info, uint32_t, void** bits) {
    *bits = nullptr;
    if (info->compression != BI_BITFIELDS || !(is_565(*info) || is_888(*info)) || info->width <= 0)
        return nullptr;
    int32_t height = info->height < 0 ? -info->height : info->height;
    int32_t stride = (info->width * info->bitcount + 31) / 32 * 4;
    auto* pixels = static_cast<uint8_t*>(calloc(static_cast<size_t>(stride) * height, 1));
    if (!pixels) return nullptr;
    *bits = pixels;
    return new os_bitmap{*info, info->width, height, stride, pixels};
}

void gdi_selectobject(os_dc* dc, os_bitmap* bitmap) {
    dc->selected = bitmap;
}

void gdi_deletedc(os_dc* dc) {
    delete dc;
}

void gdi_deleteobject(os_bitmap* bitmap) {
    free(bitmap->pixels);
    delete bitmap;
}

void gdi_invalidatergn(os_window*, bool) {}

os_dc* gdi_beginpaint(os_window*) {
    static os_dc paint{false, nullptr, nullptr, {}, {}};
    paint.source = nullptr;
    return &paint;
}

void gdi_setstretchbltmode(os_dc*, int32_t) {}

bool gdi_stretchblt(os_dc* dest, int32_t x, int32_t y, int32_t w, int32_t h, os_dc* source,
                    int32_t sx, int32_t sy, int32_t sw, int32_t sh, uint32_t) {
    if (!source || !source->selected) return false;
    dest->source = source->selected;
    dest->dest = SDL_Rect{x, y, w, h};
    dest->from = SDL_Rect{sx, sy, sw, sh};
    return true;
}

// The window's colour for every 5-6-5 pixel, rebuilt when the surface's format
// changes.
static const uint32_t* colours_of_565(const SDL_PixelFormat* format) {
    static std::vector<uint32_t> table(65536);
    static uint32_t built_for = 0;
    if (built_for != format->format) {
        for (uint32_t v = 0; v < 65536; ++v) {
            uint32_t r = v >> 11, g = (v >> 5) & 63, b = v & 31;
            table[v] = SDL_MapRGB(format, static_cast<uint8_t>(r << 3 | r >> 2),
                                  static_cast<uint8_t>(g << 2 | g >> 4),
                                  static_cast<uint8_t>(b << 3 | b >> 2));
        }
        built_for = format->format;
    }
    return table.data();
}

static uint32_t colour_of_888(const SDL_PixelFormat* format, uint32_t v) {
    return SDL_MapRGB(format, static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 8),
                      static_cast<uint8_t>(v));
}

// One destination row: each pixel is the source pixel of its column, through
// the colour table of 5-6-5 pixels, or widened from 0x00RRGGBB.
template <int bytes>
static void stretch_row(uint8_t* out, const uint8_t* row, const int32_t* columns, int32_t count,
                        const uint32_t* lut, const SDL_PixelFormat* format) {
    for (int32_t x = 0; x < count; ++x) {
        uint32_t c;
        if (lut) {
            uint16_t v;
            memcpy(&v, row + 2 * columns[x], 2);
            c = lut[v];
        } else {
            uint32_t v;
            memcpy(&v, row + 4 * columns[x], 4);
            c = colour_of_888(format, v);
        }
        if constexpr (bytes == 3) {
            out[3 * x] = static_cast<uint8_t>(c), out[3 * x + 1] = static_cast<uint8_t>(c >> 8);
            out[3 * x + 2] = static_cast<uint8_t>(c >> 16);
        } else if constexpr (bytes == 1) {
            out[x] = static_cast<uint8_t>(c);
        } else {
            using pixel = std::conditional_t<bytes == 4, uint32_t, uint16_t>;
            pixel p = static_cast<pixel>(c);
            memcpy(out + bytes * x, &p, bytes);
        }
    }
}

// The stretch of one paint into the surface, nearest pixel, clipped to it.
static void stretch(SDL_Surface* s, const os_bitmap& b, const SDL_Rect& d, const SDL_Rect& f) {
    if (d.w <= 0 || d.h <= 0 || f.w <= 0 || f.h <= 0) return;
    const SDL_PixelFormat* format = s->format;
    const uint32_t* lut = is_565(b.info) ? colours_of_565(format) : nullptr;
    // The destination columns that lie on the surface and take a source column
    // that lies in the bitmap.
    std::vector<int32_t> columns;
    int32_t first = -1;
    for (int32_t x = 0; x < d.w; ++x) {
        int32_t tx = d.x + x, fx = f.x + static_cast<int32_t>(int64_t{x} * f.w / d.w);
        if (tx < 0 || tx >= s->w || fx < 0 || fx >= b.width) continue;
        if (first < 0) first = tx;
        if (tx != first + static_cast<int32_t>(columns.size())) break;
        columns.push_back(fx);
    }
    if (columns.empty()) return;
    int32_t count = static_cast<int32_t>(columns.size());
    int bytes = format->BytesPerPixel;
    for (int32_t y = 0; y < d.h; ++y) {
        int32_t ty = d.y + y, fy = f.y + static_cast<int32_t>(int64_t{y} * f.h / d.h);
        if (ty < 0 || ty >= s->h || fy < 0 || fy >= b.height) continue;
        const uint8_t* row = b.pixels + static_cast<size_t>(fy) * b.stride;
        uint8_t* out = static_cast<uint8_t*>(s->pixels) + static_cast<size_t>(ty) * s->pitch +
                       static_cast<size_t>(first) * bytes;
        switch (bytes) {
        case 4:
            stretch_row<4>(out, row, columns.data(), count, lut, format);
            break;
        case 3:
            stretch_row<3>(out, row, columns.data(), count, lut, format);
            break;
        case 2:
            stretch_row<2>(out, row, columns.data(), count, lut, format);
            break;
        default:
            stretch_row<1>(out, row, columns.data(), count, lut, format);
            break;
        }
    }
}

void gdi_endpaint(os_window* window, os_dc* dc) {
    if (!dc->source) return;
    sdl::on_main([&] {
        if (window->destroyed.load()) return;
        SDL_Surface* s = SDL_GetWindowSurface(window->sdl);
        if (!s) return;
        if (SDL_MUSTLOCK(s) && SDL_LockSurface(s) != 0) return;
        stretch(s, *dc->source, dc->dest, dc->from);
        if (SDL_MUSTLOCK(s)) SDL_UnlockSurface(s);
        SDL_UpdateWindowSurface(window->sdl);
    });
    dc->source = nullptr;
}
