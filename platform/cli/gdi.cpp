// platform/cli/gdi.cpp -- no screen to draw to.
#include "platform/gdi.h"

os_dc* gdi_createcompatibledc(os_dc*) { return nullptr; }
os_bitmap* gdi_createdibsection(os_dc*, const os_bitmapinfo*, uint32_t, void** bits) {
    *bits = nullptr;
    return nullptr;
}
void gdi_selectobject(os_dc*, os_bitmap*) {}
void gdi_deletedc(os_dc*) {}
void gdi_deleteobject(os_bitmap*) {}
void gdi_invalidatergn(os_window*, bool) {}
os_dc* gdi_beginpaint(os_window*) { return nullptr; }
void gdi_setstretchbltmode(os_dc*, int32_t) {}
bool gdi_stretchblt(os_dc*, int32_t, int32_t, int32_t, int32_t, os_dc*, int32_t, int32_t, int32_t,
                    int32_t, uint32_t) {
    return false;
}
void gdi_endpaint(os_window*, os_dc*) {}
