// tools/artgen/font.h -- the digit font of the play time, numbers.gif.
#pragma once
#include "tools/artgen/canvas.h"

// 84 x 12: "0" to "9" eight pixels wide from column 0, ":" four pixels wide
// at column 80. Glyphs are ink ramp entries from font_background (their
// ground) up to the lightest ink, anti-aliased.
indexed draw_font();
