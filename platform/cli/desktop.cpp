// platform/cli/desktop.cpp -- a command-line program's desktop: boxes are
// lines on stderr, there is no screensaver to switch.
#include <cstdio>
#include <cstdlib>

#include "platform/desktop.h"

void os_messagebox(os_window*, const char* text, const char* caption, uint32_t) {
    fprintf(stderr, "%s: %s\n", caption, text);
}

int32_t os_getsaveractive() {
    return 0;
}
void os_setsaveractive(int32_t) {}

void os_exit(int code) {
    fflush(stdout);
    std::exit(code);
}
