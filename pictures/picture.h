// pictures/picture.h -- loading a picture by its file type, the description
// of the picture read last, and the palette helpers around it.
//
// Start-up loads every picture through l_loadpic, then turns the palette of the
// last one into the 16-bit table the player draws with (l_getpal6, l_makepal16).
// The readers (RIX, GIF, JPEG) set l_width, l_height and l_palette.
#pragma once
#include <cstdint>

// The picture read last: its size, and its palette of 256 red, green, blue
// triples (0 to 255). Written by the readers on the start-up thread.
extern int32_t l_width, l_height;
extern uint8_t l_palette[768];

// Output forms, requested by type: 0 the reader's default, 1 grey levels, 2
// palette indices, 3 16-bit 5-6-5, 4 32-bit. Picks the reader by the text after
// the last "." of name (the whole name without one), stores the new buffer in
// *pixels (from l_alloc with alignment exponent a) and returns the reader's
// result code.
int32_t l_loadpic(const char* name, uint8_t** pixels, int32_t type, int32_t a);

// Grey levels in place of the palette indices of an l_width x l_height
// picture, then the grey ramp as its palette.
void l_makegrey(uint8_t* pixels);
// l_palette entry i becomes (i, i, i).
void l_greypal();
// The 768 components of l_palette shifted right by 2 into buffer.
void l_getpal6(uint8_t* buffer);
// 256 5-6-5 entries from a six-bit palette, in 512 bytes of the internal heap
// aligned to 2^a; their address goes to *table.
void l_makepal16(const uint8_t* palette6, uint16_t** table, int32_t a);
