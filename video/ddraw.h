// video/ddraw.h -- the DirectDraw-style output path: the frame converted into
// the display's own format, then flipped (fullscreen) or blitted (windowed).
//
// v_initbuffer tries it first unless "gdi" is given, on the main thread before
// the player starts; any failure there is silent and leaves the GDI-style path
// to serve. v_present calls dx_flip or dx_blit while dx_ddraw is set, with
// s_lock held; v_release calls dx_release.
#pragma once
#include <cstdint>

struct os_ddraw;
struct os_ddraw2;
struct os_surface;
struct os_clipper;

// The display objects, null while not held; dx_ddraw set means the path is
// active. dx_back is the back buffer (fullscreen, looked up every frame) or
// the offscreen surface (windowed); dx_clipper exists only windowed.
extern os_ddraw* dx_ddraw;
extern os_ddraw2* dx_ddraw2;
extern os_surface* dx_primary;
extern os_surface* dx_back;
extern os_clipper* dx_clipper;

// True when the path is set up; false, with nothing of it held, otherwise.
// The two frame buffers it takes from the internal heap stay taken either way.
bool v_initbuffer_dx();
// True only for DD_OK; the label names the step and is shown nowhere.
bool dx_ok(int32_t result, const char* label);
void dx_flip(uint8_t* buffer);
void dx_blit(uint8_t* buffer);
// Releases every display object held, and forgets it.
void dx_release();
