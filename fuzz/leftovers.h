// fuzz/leftovers.h -- the general-heap blocks and the files that the engine's
// fatal road leaves to the end of the process.
//
// The engine frees a file's buffer and closes a file on its normal roads; on
// the fatal road the process ends next, and the system takes them back. The
// fuzz harness goes on after that road, so the targets are linked with
// -Wl,--wrap for malloc, calloc, realloc, free, fopen and fclose: every call
// of these from the program's own code passes here, and what is handed out
// while watching is recorded until it is given back.
#pragma once

// Starts recording what is handed out.
void leftovers_watch();
// Stops recording, frees every recorded block and closes every recorded file.
void leftovers_release();
// Stops recording and forgets the records: after a normal road whatever is
// still out belongs to the engine (or is a leak for LeakSanitizer to report).
void leftovers_forget();
