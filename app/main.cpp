// app/main.cpp -- the program's entry and start-up.
#include <cstring>

#include "app/title.h"
#include "data/heap.h"
#include "platform/entry.h"
#include "system/sys.h"

int32_t WinMain(void* instance, void* previous, char* cmdline, int32_t cmdshow) {
    memcpy(s_title, title_line, sizeof title_line);
    s_windows_init(instance, previous, cmdline, cmdshow);
    h_init(4194304);
    s_stopsaver();
    // The pictures, the display and the player join here as they are built.
    s_exit("%s: nothing to show yet", s_title);
    // A fatal error met on another thread ends the loop like a normal stop;
    // the process still reports the failure.
    return s_failed.load() ? 1 : 0;
}
