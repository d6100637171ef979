// tools/artgen/gifout.h -- writing a picture as the GIF subset the engine
// reads: one image with a 256-entry global colour table, no extension
// blocks, no local colour table, not interlaced.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "tools/artgen/canvas.h"

// Writes the picture through giflib beside path and renames it into place,
// so an interrupted build leaves no half-written picture. A failure ends the
// program with a message.
void write_gif(const std::string& path, const indexed& picture, const std::vector<uint8_t>& rgb);
