// system/sys.cpp -- system set-up, message loop, panic and exit, screensaver,
// clock, switches.
#include "system/sys.h"
#include "system/sys_testing.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <thread>

#include "data/heap.h"
#include "platform/desktop.h"
#include "platform/messages.h"
#include "platform/thread.h"
#include "platform/timer.h"
#include "video/display.h"

void* s_instance = nullptr;
char* s_cmdline = nullptr;
int32_t s_cmdshow = -1;
os_window* s_hwnd = nullptr;
char s_title[256] = "korvite";
os_lock* s_lock = nullptr;
std::atomic<uint8_t> s_keys[256];
int32_t s_saverstate = 1;
std::atomic<bool> s_failed{false};

// The thread that met the first fatal error; a second one there is re-entry.
static std::atomic<std::thread::id> panic_thread{};

void s_windows_init(void* instance, void* /*previous*/, char* cmdline, int32_t cmdshow) {
    if (!s_lock) s_lock = os_newlock();  // one lock for the process, however often set up
    s_instance = instance;
    s_cmdline = cmdline;
    s_cmdshow = cmdshow;
    for (char* c = s_cmdline; c && *c; ++c)
        if (*c >= 'A' && *c <= 'Z') *c = static_cast<char>(*c - 'A' + 'a');
    for (auto& key : s_keys) key.store(0, std::memory_order_relaxed);
}

int32_t s_messageloop() {
    os_msg msg;
    while (os_getmessage(&msg) != 0) {
        os_translatemessage(&msg);
        os_dispatchmessage(&msg);
    }
    return static_cast<int32_t>(msg.wparam);
}

// Restore, heap, timer: the shutdown steps shared by s_panic and s_exit.
static void shut_down() {
    s_restore();
    h_deinit();
    s_endtimer();
}

void s_panic(const char* format, ...) {
    // The text is formatted before anything is released, so that no argument
    // can point into memory the shutdown frees.
    char text[256];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);

    s_failed.store(true);
    std::thread::id none{};
    std::thread::id me = std::this_thread::get_id();
    if (!panic_thread.compare_exchange_strong(none, me)) {
        // Already shutting down. Another thread's fatal error waits here for the
        // first one to end the process; a re-entry goes to its box and out.
        if (none != me) os_parkthread();
        os_messagebox(s_hwnd, text, "korvite system panic", MB_ICONERROR);
        os_exit(1);
    }
    shut_down();
    os_messagebox(s_hwnd, text, "korvite system panic", MB_ICONERROR);
    if (s_hwnd) os_sendmessage(s_hwnd, WM_DESTROY, 0, 0);
    os_exit(1);
}

void s_forget_panic() {
    panic_thread.store(std::thread::id{});
    s_failed.store(false);
}

void s_exit(const char* format, ...) {
    shut_down();
    if (format[0] == '\0') return;
    char text[256];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    os_messagebox(s_hwnd, text, "korvite", MB_ICONINFORMATION);
}

void s_restore() {
    if (s_saverstate == 1) os_setsaveractive(1);
    // Before s_windows_init there is no lock, and no display to release either.
    if (s_lock) os_enterlock(s_lock);
    v_release();
    if (s_lock) os_leavelock(s_lock);
}

void s_stopsaver() {
    s_saverstate = os_getsaveractive();
    if (s_saverstate == 1) os_setsaveractive(0);
}

void s_begintimer() {
    os_timebeginperiod(1);
}
void s_endtimer() {
    os_timeendperiod(1);
}
uint32_t s_gettime() {
    return os_gettime();
}

int32_t s_hasswitch(const char* name) {
    if (!s_cmdline) return 0;
    char text[256];
    snprintf(text, sizeof text, "-%s", name);
    if (strstr(s_cmdline, text)) return 1;
    snprintf(text, sizeof text, "/%s", name);
    return strstr(s_cmdline, text) ? 1 : 0;
}
