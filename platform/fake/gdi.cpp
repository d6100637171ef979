// platform/fake/gdi.cpp -- bitmaps in plain memory, recorded calls, and the
// frame each stretch copies, kept for the test.
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <vector>

#include "platform/fake/fake.h"
#include "platform/fake/state.h"
#include "platform/gdi.h"

struct os_bitmap {
    int32_t id;
    os_bitmapinfo info;
    std::vector<uint8_t> pixels;
};

struct os_dc {
    bool memory;
    os_bitmap* selected;
};

static int32_t stride(const os_bitmapinfo& info) {
    return (info.width * info.bitcount + 31) / 32 * 4;
}

os_dc* gdi_createcompatibledc(os_dc*) {
    fake::log("createcompatibledc");
    if (fake::failing("createcompatibledc")) return nullptr;
    return new os_dc{true, nullptr};
}

os_bitmap* gdi_createdibsection(os_dc*, const os_bitmapinfo* i, uint32_t usage, void** bits) {
    char line[160];
    snprintf(line, sizeof line,
             "createdibsection size=%u w=%d h=%d planes=%u bpp=%u compression=%u masks=%x,%x,%x "
             "usage=%u",
             i->size, i->width, i->height, i->planes, i->bitcount, i->compression, i->masks[0],
             i->masks[1], i->masks[2], usage);
    fake::log(line);
    *bits = nullptr;
    if (fake::failing("createdibsection")) return nullptr;
    int32_t id;
    {
        std::lock_guard lock(fake::state().mutex);
        id = fake::state().bitmaps++;
    }
    auto* b = new os_bitmap{id, *i, {}};
    b->pixels.assign(static_cast<size_t>(stride(*i)) * std::abs(i->height), 0);
    *bits = b->pixels.data();
    return b;
}

void gdi_selectobject(os_dc* dc, os_bitmap* bitmap) {
    fake::log("selectobject " + std::to_string(bitmap ? bitmap->id : -1));
    dc->selected = bitmap;
}

void gdi_deletedc(os_dc* dc) {
    fake::log("deletedc");
    delete dc;
}

void gdi_deleteobject(os_bitmap* bitmap) {
    fake::log("deleteobject " + std::to_string(bitmap->id));
    delete bitmap;
}

void gdi_invalidatergn(os_window*, bool erase) {
    fake::log(std::string("invalidatergn ") + (erase ? "1" : "0"));
}

os_dc* gdi_beginpaint(os_window*) {
    fake::log("beginpaint");
    static os_dc paint{false, nullptr};
    return &paint;
}

void gdi_setstretchbltmode(os_dc*, int32_t mode) {
    fake::log("setstretchbltmode " + std::to_string(mode));
}

bool gdi_stretchblt(os_dc*, int32_t x, int32_t y, int32_t w, int32_t h, os_dc* source, int32_t sx,
                    int32_t sy, int32_t sw, int32_t sh, uint32_t rop) {
    char line[128];
    snprintf(line, sizeof line, "stretchblt %d %d %d %d from %d %d %d %d rop=%x", x, y, w, h, sx,
             sy, sw, sh, rop);
    fake::log(line);
    os_bitmap* b = source->selected;
    if (!b) return false;
    std::lock_guard lock(fake::state().mutex);
    fake::frame& f = fake::state().presented;
    f.bitmap = b->id;
    f.width = b->info.width;
    f.height = std::abs(b->info.height);
    f.bpp = b->info.bitcount;
    f.pitch = stride(b->info);
    f.pixels = b->pixels;
    ++fake::state().presents;
    return true;
}

void gdi_endpaint(os_window*, os_dc*) {
    fake::log("endpaint");
}

namespace fake {

frame presented() {
    std::lock_guard lock(state().mutex);
    return state().presented;
}

int64_t presents() {
    std::lock_guard lock(state().mutex);
    return state().presents;
}

}  // namespace fake
