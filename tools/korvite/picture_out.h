// tools/korvite/picture_out.h -- what korvite decode makes of a loaded
// picture: the form its pixels are in, and a viewable PPM of them.
//
// Used by the decode command and by the tests of every pixel form, the
// direct-colour ones included. Plain memory in, bytes out.
#pragma once
#include <cstdint>
#include <vector>

enum class pixel_form {
    grey,      // 1 byte, the grey level
    indexed,   // 1 byte, an index into the palette
    rgb565,    // 16-bit little-endian, red in bits 11..15, green 5..10, blue 0..4
    xrgb8888,  // 32-bit little-endian, red in bits 16..23, green 8..15, blue 0..7
};

// The form of the pixels that the reader l_loadpic chose for name returned
// with result: the JPEG reader numbers its results 1 grey, 2 16-bit, 3 32-bit,
// the RIX and GIF readers 1 grey, 2 palette indices. False for any other.
bool form_of(const char* name, int32_t result, pixel_form* form);

int32_t bytes_per_pixel(pixel_form form);

// A binary PPM (P6) of width x height pixels in form, 8 bits per channel:
// indices through the 768-byte palette, grey as grey, 5 and 6 bits widened by
// repeating their top bits.
std::vector<uint8_t> ppm_image(const uint8_t* pixels, int32_t width, int32_t height,
                               pixel_form form, const uint8_t* palette);
