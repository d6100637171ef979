// app/player.cpp -- the player thread and song control.
#include "app/player.h"

#include "platform/audio.h"

void music_done() {
    au_stop();
    au_free();
}
