// platform/cli/ddraw.cpp -- no display to draw to.
#include "platform/ddraw.h"

int32_t dd_create(os_ddraw** ddraw) {
    *ddraw = nullptr;
    return DDERR_GENERIC;
}
int32_t dd_queryinterface2(os_ddraw*, os_ddraw2**) { return DDERR_GENERIC; }
int32_t dd_setcooperativelevel(os_ddraw2*, os_window*, uint32_t) { return DDERR_GENERIC; }
int32_t dd_setdisplaymode(os_ddraw2*, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t) {
    return DDERR_GENERIC;
}
int32_t dd_createsurface(os_ddraw2*, const dd_surfacedesc*, os_surface**) { return DDERR_GENERIC; }
int32_t dd_createclipper(os_ddraw2*, uint32_t, os_clipper**) { return DDERR_GENERIC; }
int32_t dd_clipper_sethwnd(os_clipper*, uint32_t, os_window*) { return DDERR_GENERIC; }
int32_t dd_surface_setclipper(os_surface*, os_clipper*) { return DDERR_GENERIC; }
int32_t dd_surface_getpixelformat(os_surface*, dd_pixelformat*) { return DDERR_GENERIC; }
int32_t dd_surface_getattachedsurface(os_surface*, uint32_t, os_surface**) { return DDERR_GENERIC; }
int32_t dd_surface_islost(os_surface*) { return DDERR_SURFACELOST; }
int32_t dd_surface_lock(os_surface*, const os_rect*, dd_surfacedesc*, uint32_t) { return DDERR_GENERIC; }
int32_t dd_surface_unlock(os_surface*, void*) { return DDERR_GENERIC; }
int32_t dd_surface_flip(os_surface*, os_surface*, uint32_t) { return DDERR_GENERIC; }
int32_t dd_surface_blt(os_surface*, const os_rect*, os_surface*, const os_rect*, uint32_t) {
    return DDERR_GENERIC;
}
void dd_release(os_ddraw*) {}
void dd_release2(os_ddraw2*) {}
void dd_surface_release(os_surface*) {}
void dd_clipper_release(os_clipper*) {}
