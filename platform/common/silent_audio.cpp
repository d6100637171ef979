// platform/common/silent_audio.cpp -- an audio library with no output behind
// it, for programs that play nothing: it reports no suitable version and loads
// no module.
#include "platform/audio.h"

uint32_t au_getversion() {
    return 0;
}
bool au_init(int32_t, uint32_t, uint32_t, os_window*) {
    return false;
}
void au_free() {}
bool au_start() {
    return false;
}
bool au_stop() {
    return false;
}
bool au_pause() {
    return false;
}
au_music au_musicload(bool, const char*, uint32_t, uint32_t, uint32_t) {
    return 0;
}
void au_musicfree(au_music) {}
bool au_musicsetpositionscaler(au_music, uint32_t) {
    return false;
}
uint32_t au_musicgetlength(au_music) {
    return 0;
}
bool au_musicplay(au_music) {
    return false;
}
au_sync au_channelsetsync(au_music, uint32_t, uint64_t, au_syncproc, uint32_t) {
    return 0;
}
bool au_channelremovesync(au_music, au_sync) {
    return false;
}
uint32_t au_channelgetposition(au_music) {
    return 0;
}
bool au_channelsetposition(au_music, uint32_t) {
    return false;
}
