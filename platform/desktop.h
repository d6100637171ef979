// platform/desktop.h -- the desktop around the program: message boxes, the
// screensaver, the program's own file and the end of the process.
#pragma once
#include <cstdint>

struct os_window;

// Message box styles.
constexpr uint32_t MB_OK = 0x00;
constexpr uint32_t MB_ICONERROR = 0x10;
constexpr uint32_t MB_ICONINFORMATION = 0x40;

// Shows text in a box with an OK button, captioned caption and owned by owner
// (null: no owner), from the calling thread; returns once the user dismissed it.
// The text always also goes to stderr as one line; where no box can be shown the
// call returns at once.
void os_messagebox(os_window* owner, const char* text, const char* caption, uint32_t style);

// The screensaver's active state, 1 or 0, as this session of the desktop has it.
// Setting it holds until it is set again or the session ends; the user's saved
// settings are not touched.
int32_t os_getsaveractive();
void os_setsaveractive(int32_t active);

// A token for the running program, never null.
void* os_instance();

// The full path of the program's own file, zero-terminated, into buffer; false
// (and buffer empty) when it cannot be had or does not fit.
bool os_modulefilename(char* buffer, uint32_t size);

// Ends the process through the standard library's exit routine: exit handlers run.
[[noreturn]] void os_exit(int code);
