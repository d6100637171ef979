// video/ddraw.cpp -- the DirectDraw-style output path.
#include "video/ddraw.h"

os_ddraw* dx_ddraw = nullptr;

// No display object can be had yet, so the GDI-style path serves.
bool v_initbuffer_dx() {
    return false;
}
void dx_flip(uint8_t*) {}
void dx_blit(uint8_t*) {}
void dx_release() {}
