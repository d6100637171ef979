// tests/png_out.h -- a window read back with xwd, written as a PNG picture
// (8-bit RGB, deflated with zlib), for the screenshots in docs/.
#pragma once
#include <string>

#include "tests/xwd.h"

// Writes the image of a TrueColor window (channels as its masks say) to path;
// false if it is not such an image or the file cannot be written.
bool png_write(const std::string& path, const xwd_image& image);
