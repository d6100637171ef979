// platform/fake/ddraw.cpp -- a display of any pixel layout, in plain memory:
// recorded calls, modes the test offers, surfaces that can be made lost, and
// the frame each flip or blit shows, kept for the test.
#include <cstdio>
#include <mutex>
#include <vector>

#include "platform/ddraw.h"
#include "platform/fake/fake.h"
#include "platform/fake/state.h"
#include "platform/window.h"

struct os_ddraw {};
struct os_ddraw2 {};
struct os_clipper {};
struct os_surface {
    bool attached;  // the back buffer of a flipping primary
    int32_t width, height, bytes, pitch;
    std::vector<uint8_t> memory;
    os_surface* back;
};

namespace {

os_ddraw the_ddraw;
os_ddraw2 the_ddraw2;

dd_pixelformat display() {
    std::lock_guard lock(fake::state().mutex);
    return fake::state().display;
}

int32_t bytes_per_pixel() {
    dd_pixelformat f = display();
    return (f.flags & DDPF_RGB) ? static_cast<int32_t>((f.rgb_bits + 7) / 8) : 1;
}

os_surface* make_surface(int32_t width, int32_t height, bool attached) {
    int32_t bytes = bytes_per_pixel();
    // Rows a little longer than the picture, as display memory often has them.
    int32_t pitch = (width * bytes + 64 + 3) & ~3;
    return new os_surface{attached, width,
                          height,   bytes,
                          pitch,    std::vector<uint8_t>(static_cast<size_t>(pitch) * height, 0xCD),
                          nullptr};
}

void keep_shown(const os_surface* s) {
    std::lock_guard lock(fake::state().mutex);
    fake::state().shown = fake::display_frame{s->width, s->height, s->bytes, s->pitch, s->memory};
    ++fake::state().shows;
}

int32_t result(bool ok) {
    return ok ? DD_OK : DDERR_GENERIC;
}

}  // namespace

int32_t dd_create(os_ddraw** ddraw) {
    *ddraw = nullptr;
    if (!fake::call("dd_create")) return DDERR_GENERIC;
    *ddraw = &the_ddraw;
    return DD_OK;
}

int32_t dd_queryinterface2(os_ddraw*, os_ddraw2** ddraw2) {
    *ddraw2 = nullptr;
    if (!fake::call("dd_queryinterface2")) return DDERR_GENERIC;
    *ddraw2 = &the_ddraw2;
    return DD_OK;
}

int32_t dd_setcooperativelevel(os_ddraw2*, os_window*, uint32_t flags) {
    char line[64];
    snprintf(line, sizeof line, "dd_setcooperativelevel %x", flags);
    return result(fake::call(line));
}

int32_t dd_setdisplaymode(os_ddraw2*, uint32_t width, uint32_t height, uint32_t bits,
                          uint32_t refresh, uint32_t flags) {
    char line[96];
    snprintf(line, sizeof line, "dd_setdisplaymode %u %u %u %u %u", width, height, bits, refresh,
             flags);
    if (!fake::call(line)) return DDERR_GENERIC;
    std::lock_guard lock(fake::state().mutex);
    for (const fake::mode& m : fake::state().modes)
        if (m.width == width && m.height == height && m.bits == bits) return DD_OK;
    return DDERR_INVALIDMODE;
}

int32_t dd_createsurface(os_ddraw2*, const dd_surfacedesc* d, os_surface** surface) {
    char line[128];
    snprintf(line, sizeof line, "dd_createsurface flags=%x caps=%x back=%u w=%u h=%u size=%u",
             d->flags, d->caps, d->back_buffers, d->width, d->height, d->size);
    *surface = nullptr;
    if (!fake::call(line)) return DDERR_GENERIC;
    if (d->caps & DDSCAPS_PRIMARYSURFACE) {
        int32_t w = os_getsystemmetrics(SM_CXSCREEN), h = os_getsystemmetrics(SM_CYSCREEN);
        *surface = make_surface(w, h, false);
        if (d->back_buffers == 1) (*surface)->back = make_surface(w, h, true);
    } else {
        *surface =
            make_surface(static_cast<int32_t>(d->width), static_cast<int32_t>(d->height), false);
    }
    return DD_OK;
}

int32_t dd_createclipper(os_ddraw2*, uint32_t flags, os_clipper** clipper) {
    static os_clipper the_clipper;
    *clipper = nullptr;
    if (!fake::call("dd_createclipper " + std::to_string(flags))) return DDERR_GENERIC;
    *clipper = &the_clipper;
    return DD_OK;
}

int32_t dd_clipper_sethwnd(os_clipper*, uint32_t flags, os_window* window) {
    return result(
        fake::call("dd_clipper_sethwnd " + std::to_string(flags) + (window ? " window" : " none")));
}

int32_t dd_surface_setclipper(os_surface*, os_clipper*) {
    return result(fake::call("dd_surface_setclipper"));
}

int32_t dd_surface_getpixelformat(os_surface*, dd_pixelformat* format) {
    if (!fake::call("dd_surface_getpixelformat size=" + std::to_string(format->size)))
        return DDERR_GENERIC;
    *format = display();
    return DD_OK;
}

int32_t dd_surface_getattachedsurface(os_surface* surface, uint32_t caps, os_surface** attached) {
    *attached = nullptr;
    if (!fake::call("dd_surface_getattachedsurface " + std::to_string(caps)) || !surface->back)
        return DDERR_GENERIC;
    *attached = surface->back;
    return DD_OK;
}

int32_t dd_surface_islost(os_surface*) {
    fake::log("dd_surface_islost");
    std::lock_guard lock(fake::state().mutex);
    return fake::state().lost ? DDERR_SURFACELOST : DD_OK;
}

int32_t dd_surface_lock(os_surface* s, const os_rect* r, dd_surfacedesc* desc, uint32_t flags) {
    char line[128];
    if (r)
        snprintf(line, sizeof line, "dd_surface_lock %d %d %d %d flags=%u size=%u", r->left, r->top,
                 r->right, r->bottom, flags, desc->size);
    else
        snprintf(line, sizeof line, "dd_surface_lock all flags=%u size=%u", flags, desc->size);
    if (!fake::call(line)) return DDERR_GENERIC;
    int32_t x = r ? r->left : 0, y = r ? r->top : 0;
    desc->surface =
        s->memory.data() + static_cast<size_t>(y) * s->pitch + static_cast<size_t>(x) * s->bytes;
    desc->pitch = s->pitch;
    desc->width = static_cast<uint32_t>(s->width);
    desc->height = static_cast<uint32_t>(s->height);
    return DD_OK;
}

int32_t dd_surface_unlock(os_surface*, void*) {
    return result(fake::call("dd_surface_unlock"));
}

int32_t dd_surface_flip(os_surface* surface, os_surface*, uint32_t flags) {
    if (!fake::call("dd_surface_flip " + std::to_string(flags))) return DDERR_GENERIC;
    if (surface->back) keep_shown(surface->back);
    return DD_OK;
}

int32_t dd_surface_blt(os_surface*, const os_rect* d, os_surface* src, const os_rect* s,
                       uint32_t flags) {
    char line[160];
    snprintf(line, sizeof line, "dd_surface_blt %d %d %d %d from %d %d %d %d flags=%u", d->left,
             d->top, d->right, d->bottom, s->left, s->top, s->right, s->bottom, flags);
    if (!fake::call(line)) return DDERR_GENERIC;
    keep_shown(src);
    return DD_OK;
}

void dd_release(os_ddraw*) {
    fake::log("dd_release");
}
void dd_release2(os_ddraw2*) {
    fake::log("dd_release2");
}
void dd_clipper_release(os_clipper*) {
    fake::log("dd_clipper_release");
}

void dd_surface_release(os_surface* surface) {
    fake::log(std::string("dd_surface_release") + (surface->attached ? " attached" : ""));
    if (surface->attached) return;
    delete surface->back;
    delete surface;
}

namespace fake {

display_frame shown() {
    std::lock_guard lock(state().mutex);
    return state().shown;
}

int64_t shows() {
    std::lock_guard lock(state().mutex);
    return state().shows;
}

}  // namespace fake
