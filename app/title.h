// app/title.h -- the production's title line: the window's caption, and the
// headline of the intro screen that the artwork generator draws.
#pragma once

inline constexpr char title_line[40] = "Korvite Music Disk - Twelve Tunes, 2026";
static_assert(sizeof title_line == 40 && title_line[38] != '\0', "39 characters and a zero");
