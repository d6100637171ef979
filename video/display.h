// video/display.h -- the frame buffers and the way they reach the screen.
//
// s_restore calls v_release, with s_lock held, on every shutdown road.
#pragma once

// Releases whatever output path is set up; a second call finds nothing to do.
void v_release();
