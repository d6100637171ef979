// app/playtime.h -- the play time of the loaded song, drawn as minutes and
// seconds into the frame, right-aligned near the top of every screen.
//
// The player loop calls draw_time once per pass, after painting the screen and
// handling a click, before presenting. Player thread only.
#pragma once
#include <cstdint>

// The whole seconds last computed and drawn: 0 before any song, held while
// no new value is computed (the song has ended).
extern int32_t shown_seconds;

// Works out the play time from the player state (wall-clock time since the
// module started, less the pauses) unless no song plays or it has ended, and
// draws it with the digit font through pal16 into v_buffer: rows 38 to 49,
// the last column 509.
void draw_time();
