// app/startup.h -- the program's start-up: the screen table and the assets
// every screen is drawn from.
//
// WinMain loads them all once, before the display exists (load_assets); from
// then on the player thread only reads them.
#pragma once
#include <cstdint>

// One screen: the module it plays (null for none), its picture's file name in
// a field of 13 characters (zero-padded; a 13-character name fills it without
// a terminating zero), and the picture itself, 660 x 300 palette indices.
struct screen {
    const char* module;
    char picture[13];
    uint8_t* pixels;
};

constexpr int32_t screen_count = 16;
extern screen screens[screen_count];

// The link map (660 x 300 link codes), the digit font (rows of 84 pixels, 12
// rows used) and the 256-entry 5-6-5 palette table every picture is drawn
// through, built from the palette of the last picture read.
extern uint8_t* links;
extern uint8_t* digits;
extern uint16_t* pal16;

// Opens the archive at the end of the program's own file and loads the link
// map, the digit font and the sixteen screens, then builds pal16. Every
// failure is fatal; a picture of the wrong size is refused.
void load_assets();
