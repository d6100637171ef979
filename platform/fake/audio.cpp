// platform/fake/audio.cpp -- an audio library that records its calls, knows
// the modules the test declares, and ends a module when the test says so.
#include <mutex>
#include <thread>

#include "platform/audio.h"
#include "platform/common/core.h"
#include "platform/fake/fake.h"
#include "platform/fake/state.h"

namespace {

struct audio_state {
    std::mutex mutex;
    au_music next = 1;
    au_music loaded = 0;
    uint32_t orders = 0;
    uint32_t position = 0;
    au_syncproc end_proc = nullptr;
    au_sync end_sync = 0;
};

audio_state& audio() {
    static audio_state* a = new audio_state;
    return *a;
}

bool record(std::string line) {
    core::safepoint();
    std::string op = line.substr(0, line.find(' '));
    fake::log(std::move(line));
    return !fake::failing(op);
}

}  // namespace

uint32_t au_getversion() {
    return record("au_getversion") ? AU_VERSION : 0x70000;
}

bool au_init(int32_t device, uint32_t frequency, uint32_t flags, os_window* window) {
    return record("au_init " + std::to_string(device) + " " + std::to_string(frequency) + " " +
                  std::to_string(flags) + (window ? " window" : " none"));
}

void au_free() {
    record("au_free");
}
bool au_start() {
    return record("au_start");
}
bool au_stop() {
    return record("au_stop");
}
bool au_pause() {
    return record("au_pause");
}

au_music au_musicload(bool, const char* file, uint32_t, uint32_t, uint32_t flags) {
    if (!record(std::string("au_musicload ") + file + " " + std::to_string(flags))) return 0;
    int32_t orders = fake::module_orders(file);
    if (orders < 0) return 0;
    std::lock_guard lock(audio().mutex);
    audio().loaded = audio().next++;
    audio().orders = static_cast<uint32_t>(orders);
    audio().position = 0;
    return audio().loaded;
}

void au_musicfree(au_music music) {
    record("au_musicfree " + std::to_string(music));
}

bool au_musicsetpositionscaler(au_music music, uint32_t scale) {
    return record("au_musicsetpositionscaler " + std::to_string(music) + " " +
                  std::to_string(scale));
}

uint32_t au_musicgetlength(au_music music) {
    record("au_musicgetlength " + std::to_string(music));
    std::lock_guard lock(audio().mutex);
    return music != 0 && music == audio().loaded ? audio().orders : 0;
}

bool au_musicplay(au_music music) {
    return record("au_musicplay " + std::to_string(music));
}

au_sync au_channelsetsync(au_music music, uint32_t type, uint64_t param, au_syncproc proc,
                          uint32_t user) {
    if (!record("au_channelsetsync " + std::to_string(music) + " " + std::to_string(type) + " " +
                std::to_string(param) + " " + std::to_string(user)))
        return 0;
    std::lock_guard lock(audio().mutex);
    audio().end_proc = proc;
    audio().end_sync = 100 + music;
    return audio().end_sync;
}

bool au_channelremovesync(au_music music, au_sync sync) {
    bool ok = record("au_channelremovesync " + std::to_string(music) + " " + std::to_string(sync));
    std::lock_guard lock(audio().mutex);
    if (sync == audio().end_sync) audio().end_proc = nullptr;
    return ok;
}

uint32_t au_channelgetposition(au_music music) {
    record("au_channelgetposition " + std::to_string(music));
    std::lock_guard lock(audio().mutex);
    return music != 0 && music == audio().loaded ? audio().position : 0;
}

bool au_channelsetposition(au_music music, uint32_t position) {
    bool ok =
        record("au_channelsetposition " + std::to_string(music) + " " + std::to_string(position));
    std::lock_guard lock(audio().mutex);
    if (music != 0 && music == audio().loaded) audio().position = position & 0xFFFF;
    return ok;
}

namespace fake {

void reset_audio() {
    std::lock_guard lock(audio().mutex);
    audio().next = 1;
    audio().loaded = 0;
    audio().orders = 0;
    audio().position = 0;
    audio().end_proc = nullptr;
    audio().end_sync = 0;
}

void end_music() {
    au_syncproc proc;
    au_sync sync;
    {
        std::lock_guard lock(audio().mutex);
        proc = audio().end_proc;
        sync = audio().end_sync;
    }
    // The library calls its syncs on a thread of its own.
    if (proc) std::thread([proc, sync] { proc(sync, 0, 0, 0); }).join();
}

void set_position(uint32_t order) {
    std::lock_guard lock(audio().mutex);
    audio().position = order;
}

}  // namespace fake
