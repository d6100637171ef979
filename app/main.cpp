// app/main.cpp -- the program's entry, its start-up and the screen table.
#include <cstring>

#include "app/startup.h"
#include "app/title.h"
#include "data/archive.h"
#include "data/heap.h"
#include "pictures/picture.h"
#include "platform/desktop.h"
#include "platform/entry.h"
#include "system/sys.h"
#include "video/display.h"

screen screens[screen_count] = {
    {nullptr, "intro.gif", nullptr},
    {"tune01.it", "1.gif", nullptr},
    {"tune02.it", "2.gif", nullptr},
    {"tune03.it", "3.gif", nullptr},
    {"tune04.it", "4.gif", nullptr},
    {"tune05.it", "5.gif", nullptr},
    {"tune06.it", "6.gif", nullptr},
    {"tune07.it", "7.gif", nullptr},
    {"tune08.it", "8.gif", nullptr},
    {"tune09.it", "9.gif", nullptr},
    {"tune10.it", "10.gif", nullptr},
    {"tune11.it", "11.gif", nullptr},
    {"tune12.it", "12.gif", nullptr},
    {nullptr, "modinfo.gif", nullptr},
    {nullptr, "credits.gif", nullptr},
    {nullptr, {'g', 'r', 'e', 'e', 't', 'i', 'n', 'g', 's', '.', 'g', 'i', 'f'}, nullptr},
};

uint8_t* links = nullptr;
uint8_t* digits = nullptr;
uint16_t* pal16 = nullptr;

// The player reads the screens and the link map at 660 x 300 and the font at
// 84 pixels a row over 12 rows, so a picture of another size is refused.
static void check_size(const char* name, bool font) {
    bool right = font ? l_width == 84 && l_height >= 12 : l_width == 660 && l_height == 300;
    if (!right) s_panic("load_assets: %s has the wrong size", name);
}

static void load(const char* name, uint8_t** pixels, bool font) {
    l_loadpic(name, pixels, 2, 2);
    check_size(name, font);
}

void load_assets() {
    char path[512];
    os_modulefilename(path, sizeof path);  // a failure leaves no archive to find
    open_archive(path);
    load("links.gif", &links, false);
    load("numbers.gif", &digits, true);
    for (screen& s : screens) {
        char name[sizeof s.picture + 1] = {};
        memcpy(name, s.picture, sizeof s.picture);
        load(name, &s.pixels, false);
    }
    uint8_t palette6[768];
    l_getpal6(palette6);
    l_makepal16(palette6, &pal16, 9);
}

int32_t WinMain(void* instance, void* previous, char* cmdline, int32_t cmdshow) {
    memcpy(s_title, title_line, sizeof title_line);
    s_windows_init(instance, previous, cmdline, cmdshow);
    h_init(4194304);
    s_stopsaver();
    load_assets();
    v_initbuffer(660, 300, 16, 0);
    int32_t code = s_messageloop();
    // A fatal error met on the player thread ends the loop like a normal stop;
    // the process still reports the failure.
    return s_failed.load() ? 1 : code;
}
