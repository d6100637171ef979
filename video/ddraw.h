// video/ddraw.h -- the DirectDraw-style output path: the frame converted into
// the display's own format and flipped (fullscreen) or blitted (windowed).
//
// v_initbuffer tries it first unless "gdi" is given; v_present and v_release
// use it while dx_ddraw is set.
#pragma once
#include <cstdint>

struct os_ddraw;

// The display object; set means this path is active.
extern os_ddraw* dx_ddraw;

// True when the path is set up; false (and nothing of it held) otherwise.
bool v_initbuffer_dx();
void dx_flip(uint8_t* buffer);
void dx_blit(uint8_t* buffer);
void dx_release();
