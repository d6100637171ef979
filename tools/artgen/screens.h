// tools/artgen/screens.h -- the sixteen screens, drawn in true colour: the
// artwork of each on the stage, its words, and the common frame over them.
//
// main draws each screen here, then quantises it and finishes its frame.
// scenes_*.cpp paint the songs' pictures, pages.cpp the other four screens'
// backgrounds and words; this module puts a screen together.
#pragma once
#include <string>
#include <vector>

#include "tools/artgen/canvas.h"
#include "tools/artgen/palette.h"
#include "tools/artgen/tunes.h"

// Screen 0 intro, 1..12 the songs, 13 module information, 14 credits,
// 15 greetings.
canvas draw_screen(int screen, const std::vector<tune_info>& tunes);

// Each screen's own colour: its list entry, captions and details.
ramp screen_accent(int screen);

// The songs' pictures, filling the stage (scenes_a.cpp: 1..6, scenes_b.cpp:
// 7..12).
void draw_scene(canvas& c, int song);
void draw_scene_a(canvas& c, int song);
void draw_scene_b(canvas& c, int song);

// The other screens, stage and words (pages.cpp, pages_b.cpp).
void draw_intro(canvas& c, ramp accent);
void draw_modinfo(canvas& c, const std::vector<tune_info>& tunes, ramp accent);
void draw_credits(canvas& c, ramp accent);
void draw_greetings(canvas& c, ramp accent);

// The heading of every screen, top left beside the transport panel: a
// tracked caption and a title under it, made smaller when it would run
// into the panel, on a soft shade that keeps it legible over any picture.
void heading(canvas& c, ramp accent, const std::string& caption, const std::string& title);

// Shared brushes of the artwork.
// A soft round light: opacity strength at the centre, falling to 0 at radius.
void glow(canvas& c, float cx, float cy, float radius, rgb colour, float strength);
// count small stars scattered over the area, the brightest at that opacity.
void stars(canvas& c, area where, int count, uint32_t seed, float brightness);
// A dark rounded panel that text stands on.
void text_panel(canvas& c, area a, float opacity);
