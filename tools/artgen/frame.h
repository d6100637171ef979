// tools/artgen/frame.h -- what every screen has in common: the list of the
// sixteen screens down the left edge, the transport panel with the play-time
// window and the two order buttons, and the button outlines and marker that
// are drawn straight into the indices.
//
// Each screen is drawn as: its artwork on the stage (x 164..659), then
// draw_frame over it, then quantise, then finish_frame.
#pragma once
#include <vector>

#include "tools/artgen/canvas.h"
#include "tools/artgen/palette.h"
#include "tools/artgen/tunes.h"

constexpr int stage_left = 164;  // the artwork's area starts here
constexpr area stage = {stage_left, 0, screen_width - stage_left, screen_height};
constexpr float stage_centre = stage_left + (screen_width - stage_left) / 2.0f;

// The list and the transport in true colour; screen is 0..15, accent the
// screen's own ramp, which colours its highlighted list entry and details.
void draw_frame(canvas& c, int screen, const std::vector<tune_info>& tunes, ramp accent);

// The outline of every button, the marker on the current screen's entry and
// the play-time box, in their palette entries.
void finish_frame(indexed& picture, int screen);

// The link map: every area filled with its code, 0 elsewhere.
indexed draw_links();
