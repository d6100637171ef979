// system/sys.h -- the system layer: set-up, the message loop, fatal errors and
// message boxes, the orderly shutdown, screensaver suppression, the clock and
// its timer period, and the command-line switch test.
//
// Owns the system state below. WinMain calls s_windows_init first of all; every
// module reports a failure it cannot go on from through s_panic.
#pragma once
#include <atomic>
#include <cstdint>

struct os_window;
struct os_lock;

// Set by s_windows_init from the process entry, read by v_initbuffer.
extern void* s_instance;
extern char* s_cmdline;    // lower-cased in place
extern int32_t s_cmdshow;  // -1 until s_windows_init
// The single window; set by v_initbuffer, owner of every message box.
extern os_window* s_hwnd;
// Window class name and caption; "korvite" until start-up writes its title line.
extern char s_title[256];
// The display lock: held by v_present for each present and by s_restore while
// the display is released. Created by s_windows_init.
extern os_lock* s_lock;
// Key table by virtual-key code, 1 down, 0 up: written by s_wndproc on the main
// thread, read by the player thread; cleared by s_windows_init.
extern std::atomic<uint8_t> s_keys[256];
// The screensaver's active state as s_stopsaver found it; 1 until then.
extern int32_t s_saverstate;
// Set once a fatal error has begun, on any thread; the process then ends with 1.
extern std::atomic<bool> s_failed;

void s_windows_init(void* instance, void* previous, char* cmdline, int32_t cmdshow);

// Runs the message loop until WM_QUIT and returns its exit code.
int32_t s_messageloop();

// Shuts the system down (s_restore, h_deinit, s_endtimer), shows text in the box
// "korvite system panic", sends WM_DESTROY to the window if there is one, and
// ends the process with status 1. A second fatal error met on the way goes
// straight to its box and the exit. The text is cut at 255 characters.
[[noreturn]] void s_panic(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The same shutdown, then the text in the box "korvite" unless the format is
// empty; returns. Running it twice, or after s_panic's steps, is harmless.
void s_exit(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Screensaver back on if it was active, and the display released under s_lock.
void s_restore();
void s_stopsaver();
void s_begintimer();
void s_endtimer();
uint32_t s_gettime();

// 1 if "-name" or "/name" stands anywhere in the command line, else 0.
int32_t s_hasswitch(const char* name);
