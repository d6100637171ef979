// tools/tunegen/tunes.h -- the twelve default tunes, tune01.it .. tune12.it.
//
// main.cpp writes them at build time; the tests build the same models to
// compare them with what libopenmpt reads from the files.
#pragma once
#include "tools/tunegen/itwriter.h"

constexpr int tune_count = 12;

// The module of tune number n, 1..12; the same bytes on every call.
it_module tune_build(int n);

// One builder per tune, in tunes_*.cpp.
it_module tune_pixel_sunrise();
it_module tune_tidal_glass();
it_module tune_neon_circuit();
it_module tune_blue_hour();
it_module tune_carousel_waltz();
it_module tune_desert_caravan();
it_module tune_quiet_rain();
it_module tune_midnight_highway();
it_module tune_harbour_jig();
it_module tune_clockwork_garden();
it_module tune_lantern_festival();
it_module tune_homeward();
