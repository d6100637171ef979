// app/player.cpp -- the player thread, its frame loop and song control.
#include "app/player.h"

#include <algorithm>

#include "app/paint.h"
#include "app/playtime.h"
#include "app/startup.h"
#include "platform/messages.h"
#include "platform/window.h"
#include "system/sys.h"
#include "system/wndproc.h"
#include "video/display.h"

int32_t cur_screen = 0;
int32_t cur_song = -1;
au_music music = 0;
au_sync music_sync = 0;
int32_t music_length = 0;
std::atomic<uint32_t> song_ended{0};
uint32_t time_start = 0, pause_start = 0, pause_total = 0;

namespace {

// The link map's size; its rows are always 660 codes long, whatever the frame.
constexpr int32_t map_width = 660, map_height = 300;

// Link codes beyond the sixteen screens.
constexpr int32_t code_back = 17, code_forward = 18;

// A pause that began at clock value 0 counts as none.
bool paused() {
    return pause_start != 0;
}

void resume() {
    au_start();
    pause_total += s_gettime() - pause_start;
    pause_start = 0;
}

void pause() {
    au_pause();
    pause_start = s_gettime();
}

// Codes 1 to 16: screen code - 1. Its own song's link pauses or resumes it;
// the own link of a screen without a song leads to the song that plays.
void show_screen(int32_t code) {
    int32_t target = code - 1, current = cur_screen, song = cur_song;
    if (target == current && song == current) {
        if (paused())
            resume();
        else
            pause();
    }
    int32_t next = target != current ? target : song >= 0 ? song : target;
    if (next != song) {
        cur_screen = next;
        if (music_play(screens[next].module) == 1) cur_song = next;
    }
    cur_screen = next;
}

// The order index stands in the low 16 bits of the position word.
int32_t current_order() {
    return static_cast<int32_t>(au_channelgetposition(music) & 0xFFFF);
}

// Codes 17 and 18: one order back or forward, kept inside the module. With no
// module loaded the result goes to the library just the same.
void step_order(int32_t code) {
    if (paused()) resume();
    int32_t order = current_order();
    int32_t target =
        code == code_back ? std::max(order - 1, 0) : std::min(order + 1, music_length - 1);
    au_channelsetposition(music, static_cast<uint32_t>(target));
}

void act(int32_t code) {
    if (code >= 1 && code <= screen_count)
        show_screen(code);
    else if (code == code_back || code == code_forward)
        step_order(code);
}

// The link code under the mouse. The position is in client pixels; a client
// area of another size than the map (a stretched fullscreen window) shows the
// frame scaled, so the position is scaled back. Outside the map: no link.
int32_t link_under_mouse() {
    os_rect client;
    os_getclientrect(s_hwnd, &client);
    int64_t width = client.right - client.left, height = client.bottom - client.top;
    if (width <= 0 || height <= 0) return 0;
    int64_t x = int64_t{s_mousex.load(std::memory_order_relaxed)} * map_width / width;
    int64_t y = int64_t{s_mousey.load(std::memory_order_relaxed)} * map_height / height;
    if (x < 0 || x >= map_width || y < 0 || y >= map_height) return 0;
    return links[y * map_width + x];
}

// Two presses before the player looks count as one.
void handle_click() {
    if (s_clicked.exchange(0, std::memory_order_relaxed) != 0) act(link_under_mouse());
}

}  // namespace

void music_init() {
    if (au_getversion() != AU_VERSION) s_panic("bass version 0.8 was not loaded");
    if (!au_init(-1, 44100, 0, os_getforegroundwindow())) s_panic("bass: can't initialize device");
}

int32_t music_play(const char* name) {
    if (!name) return 0;
    song_ended.store(0, std::memory_order_relaxed);
    if (music_sync) au_channelremovesync(music, music_sync);
    au_stop();
    if (music) au_musicfree(music);
    music = au_musicload(false, name, 0, 0, 1);
    if (!music) s_panic("bass: can't play file %s", name);
    au_start();
    au_musicsetpositionscaler(music, 1);
    music_sync = au_channelsetsync(music, AU_SYNC_END, 0, music_ended, 0);
    music_length = static_cast<int32_t>(au_musicgetlength(music));
    pause_total = 0;
    pause_start = 0;
    time_start = s_gettime();
    au_musicplay(music);
    return 1;
}

void music_ended(uint32_t, uint32_t, uint32_t, uint32_t) {
    song_ended.store(1, std::memory_order_relaxed);
}

void music_done() {
    au_stop();
    au_free();
}

bool player_pass() {
    paint_screen(reinterpret_cast<uint16_t*>(v_buffer), screens[cur_screen].pixels, pal16,
                 v_size / 2);
    handle_click();
    draw_time();
    v_present(v_buffer);
    return s_keys[VK_ESCAPE].load(std::memory_order_relaxed) == 0;
}

uint32_t player_thread(void*) {
    music_init();
    // No pacing: the loop runs as fast as painting and presenting allow.
    while (player_pass()) {}
    au_stop();
    au_free();
    // Waits here while the main thread destroys the window, which stops this thread.
    os_sendmessage(s_hwnd, WM_CLOSE, 0, 0);
    return 0;
}
