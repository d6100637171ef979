// tools/artgen/palette.h -- the one 256-colour palette every picture carries,
// and the step that turns a drawn (true colour) screen into its indices.
//
// The palette is built from ramps: a linear ink ramp for the interface and
// its anti-aliased text (it starts at the digit font's background), a grey
// ramp and thirteen hue ramps of sixteen levels each for the artwork, and two
// colours kept for the buttons' outlines and the current-screen marker. The
// artwork code picks colours along the ramps (ramp_colour), so that drawn
// colours lie close to palette entries; quantise mixes the two nearest
// entries of each colour by an ordered dither.
#pragma once
#include <cstdint>
#include <vector>

#include "tools/artgen/canvas.h"
#include "tools/artgen/layout.h"

enum class ramp {
    ink,  // the interface: dark blue-black to pale ice, 30 levels
    grey,
    blue,
    cyan,
    green,
    gold,
    orange,
    red,
    magenta,
    violet,
    indigo,
    sand,
    sunset,  // deep violet through rose and orange to pale yellow
    mint,
    brown,
};

constexpr int ink_levels = 30;  // indices 1..30; 1 is font_background
constexpr int ramp_levels = 16;

// The colour at position t (0 dark .. 1 light) along a ramp, between its levels.
rgb ramp_colour(ramp r, float t);
// The palette index of level (0 .. levels - 1) of a ramp.
uint8_t ramp_index(ramp r, int level);
// The exact palette colour of level l of a ramp.
rgb level_colour(ramp r, int l);
// The interface's colour at t along the ink ramp.
rgb ink_colour(float t);
int ramp_level_count(ramp r);

// 256 red, green, blue triples, the same on every call.
const std::vector<uint8_t>& palette_rgb();

// Every pixel of the canvas as a palette index. The two kept colours
// (edge_index, marker_index) are never chosen: the frame draws them itself.
indexed quantise(const canvas& c);
