// pictures/gif.h -- the GIF reader. l_loadpic calls it by the file's extension.
#pragma once
#include <cstdint>

// Loads name (through l_loadfile) in the output form type; the buffer goes to
// *pixels with alignment exponent a; returns the result code.
int32_t l_loadgif(const char* name, uint8_t** pixels, int32_t type, int32_t a);
