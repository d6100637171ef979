// tools/artgen/layout.h -- where things lie on the default screens: the link
// areas of the one link map, the play-time box, the picture sizes and file
// names, and the palette entries kept for the buttons.
//
// artgen draws by these numbers; the tests check the written pictures
// against them, and the player's tests click inside the areas.
#pragma once

constexpr int screen_width = 660, screen_height = 300;
constexpr int font_width = 84, font_height = 12;
constexpr int screen_pictures = 16;

// The picture of each screen, by screen number (link code - 1).
constexpr const char* screen_files[screen_pictures] = {
    "intro.gif", "1.gif",       "2.gif",       "3.gif",         "4.gif",  "5.gif",
    "6.gif",     "7.gif",       "8.gif",       "9.gif",         "10.gif", "11.gif",
    "12.gif",    "modinfo.gif", "credits.gif", "greetings.gif",
};
constexpr const char* links_file = "links.gif";
constexpr const char* font_file = "numbers.gif";

// A rectangle of pixels: columns x .. x + w - 1, rows y .. y + h - 1.
struct area {
    int x, y, w, h;
    constexpr bool contains(int px, int py) const {
        return px >= x && px < x + w && py >= y && py < y + h;
    }
};

// The area of link code c is link_areas[c - 1]. Codes 1 to 16 are the
// screens, a list down the left edge (intro, the twelve songs, module
// information, credits, greetings); 17 and 18 step the playing song one order
// back and forward, the buttons either side of the play time.
constexpr int link_count = 18;
constexpr int step_back = 17, step_forward = 18;
constexpr int list_x = 4, list_w = 156, item_h = 15;
constexpr area link_area(int code) {
    if (code == step_back) return {396, 31, 60, 24};
    if (code == step_forward) return {520, 31, 60, 24};
    int top = code == 1 ? 48 : code <= 13 ? 66 + (code - 2) * item_h : 249 + (code - 14) * item_h;
    return {list_x, top, list_w, item_h};
}

// The play time is drawn right-aligned, ending at column 509, rows 38 to 49;
// at three-digit minutes it reaches column 466. Every screen keeps this box in
// the digit font's background colour, font_background, which is also the
// colour of numbers.gif's pixel (0, 0) and of every pixel between its glyphs.
constexpr area time_box = {466, 38, 44, 12};
constexpr int font_background = 1;

// Palette entries no artwork uses: the one-pixel outline of every button,
// drawn on every screen inside its link area, and the marker on the current
// screen's own button.
constexpr int edge_index = 254, marker_index = 255;
