// platform/sdl/audio.cpp -- the audio library over libopenmpt, mixed into an
// SDL audio device.
//
// One module is loaded at a time. It plays once (no repeat); when it has
// played to its end its end sync is called once, on the audio thread, and the
// module stays loaded but silent. Pause and stop halt the device where it is;
// start goes on from there.
//
// The module and everything the mixer reads are guarded by one mutex, which
// the audio callback takes too. SDL's own device calls (pause, close) wait for
// the callback, so they are made with that mutex released; the end sync is
// called with it released as well, so it may call back into this layer.
#include <libopenmpt/libopenmpt.h>

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/audio.h"
#include "platform/common/core.h"
#include "platform/sdl/sdl.h"

namespace {

// The oldest libopenmpt whose interface this layer is written against.
constexpr uint32_t oldest_library = 0x00060000;  // 0.6.0
// Frames per device buffer: a position set takes effect within about 23 ms.
constexpr uint16_t buffer_frames = 1024;
// Larger files are not taken for modules (and never read whole into memory).
constexpr long largest_file = 256L << 20;

struct end_sync {
    au_syncproc proc = nullptr;
    au_sync handle = 0;
    uint32_t user = 0;
};

struct audio_state {
    std::mutex mutex;
    std::condition_variable sync_returned;
    SDL_AudioDeviceID device = 0;  // 0 until au_init
    int32_t rate = 44100;
    openmpt_module* module = nullptr;
    au_music music = 0;  // the loaded module's handle; 0 while none
    au_music next_music = 1;
    au_sync next_sync = 1;
    bool playing = false;   // rendering, from au_musicplay to the end
    bool ended = false;     // played to its end; calls on it change nothing
    uint32_t scaler = 1;    // rows in the high half of positions are multiplied by it
    uint32_t position = 0;  // the position word after the last buffer rendered
    end_sync end;
    bool in_sync = false;  // the audio thread is calling the end sync
    std::thread::id audio_thread;
};

audio_state& audio() {
    static audio_state* a = new audio_state;  // the audio thread may outlive exit
    return *a;
}

uint32_t position_word(const audio_state& a) {
    auto order = static_cast<uint32_t>(openmpt_module_get_current_order(a.module));
    auto row = static_cast<uint32_t>(openmpt_module_get_current_row(a.module));
    return (order & 0xFFFF) | (row * a.scaler) << 16;
}

// Renders into out until it is full or the module ends; silence after the end.
// Returns the end sync to call once the mutex is released, if the end came.
end_sync render_locked(audio_state& a, float* out, size_t frames) {
    end_sync fire;
    size_t done = 0;
    if (a.module && a.playing) {
        while (done < frames) {
            size_t n = openmpt_module_read_interleaved_float_stereo(a.module, a.rate, frames - done,
                                                                    out + 2 * done);
            if (n == 0) break;
            done += n;
        }
        if (done == frames) {
            // Once the last row has begun, the module reports order 0, row 0
            // for the rest of it: the position stays on that last row.
            uint32_t now = position_word(a);
            if (now != 0 || a.position == 0) a.position = now;
        } else {
            // The end: read gives nothing more (the order has wrapped to 0 by now).
            a.playing = false;
            a.ended = true;
            fire = a.end;
            a.in_sync = fire.proc != nullptr;
        }
    }
    std::fill(out + 2 * done, out + 2 * frames, 0.0f);
    return fire;
}

void mix(void*, Uint8* stream, int bytes) {
    audio_state& a = audio();
    auto* out = reinterpret_cast<float*>(stream);
    size_t frames = static_cast<size_t>(bytes) / (2 * sizeof(float));
    end_sync fire;
    au_music music;
    {
        std::lock_guard lock(a.mutex);
        a.audio_thread = std::this_thread::get_id();
        fire = render_locked(a, out, frames);
        music = a.music;
    }
    if (!fire.proc) return;
    fire.proc(fire.handle, music, 0, fire.user);
    std::lock_guard lock(a.mutex);
    a.in_sync = false;
    a.sync_returned.notify_all();
}

// Forgets the end sync. Once this returns it is not running and never runs
// again, unless this is the audio thread inside that very call.
void drop_sync_locked(audio_state& a, std::unique_lock<std::mutex>& lock) {
    a.end = end_sync{};
    if (std::this_thread::get_id() == a.audio_thread) return;
    a.sync_returned.wait(lock, [&a] { return !a.in_sync; });
}

void free_module_locked(audio_state& a, std::unique_lock<std::mutex>& lock) {
    drop_sync_locked(a, lock);
    if (a.module) openmpt_module_destroy(a.module);
    a.module = nullptr;
    a.music = 0;
    a.playing = false;
    a.ended = false;
}

SDL_AudioDeviceID device() {
    std::lock_guard lock(audio().mutex);
    return audio().device;
}

bool pause_device(bool pause) {
    SDL_AudioDeviceID d = device();
    if (d) SDL_PauseAudioDevice(d, pause ? 1 : 0);
    return d != 0;
}

// The bytes of a module: from memory as given, or read whole from the file.
bool module_bytes(bool memory, const char* file, uint32_t offset, uint32_t length,
                  std::vector<uint8_t>* bytes) {
    if (!file) return false;
    if (memory) {
        if (length == 0) return false;
        auto* start = reinterpret_cast<const uint8_t*>(file) + offset;
        bytes->assign(start, start + length);
        return true;
    }
    std::FILE* f = std::fopen(file, "rb");
    if (!f) return false;
    long size = -1;
    if (std::fseek(f, 0, SEEK_END) == 0) size = std::ftell(f);
    bool ok = size > 0 && size <= largest_file && offset < static_cast<uint64_t>(size);
    if (ok) {
        long available = size - static_cast<long>(offset);
        long wanted = length == 0 ? available : std::min<long>(length, available);
        bytes->resize(static_cast<size_t>(wanted));
        ok = std::fseek(f, static_cast<long>(offset), SEEK_SET) == 0 &&
             std::fread(bytes->data(), 1, bytes->size(), f) == bytes->size();
    }
    std::fclose(f);
    return ok;
}

openmpt_module* open_module(const std::vector<uint8_t>& bytes) {
    int error = 0;
    const char* message = nullptr;
    openmpt_module* m = openmpt_module_create_from_memory2(
        bytes.data(), bytes.size(), openmpt_log_func_silent, nullptr, openmpt_error_func_ignore,
        nullptr, &error, &message, nullptr);
    openmpt_free_string(message);
    if (m) openmpt_module_set_repeat_count(m, 0);
    return m;
}

// SDL is started and shut down on the main thread, like its video; the device
// calls that follow are safe from any thread.
SDL_AudioDeviceID open_device(int32_t device_number, uint32_t frequency) {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return 0;
    const char* name = nullptr;  // -1: the default device
    if (device_number >= 0) name = SDL_GetAudioDeviceName(device_number, 0);
    SDL_AudioSpec want{};
    want.freq = static_cast<int>(frequency);
    want.format = AUDIO_F32SYS;
    want.channels = 2;
    want.samples = buffer_frames;
    want.callback = mix;
    // SDL converts to whatever the device takes; the callback always sees this.
    SDL_AudioDeviceID d = 0;
    if (device_number < 0 || name) d = SDL_OpenAudioDevice(name, 0, &want, nullptr, 0);
    if (d == 0) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return d;
}

}  // namespace

uint32_t au_getversion() {
    core::safepoint();
    return openmpt_get_library_version() >= oldest_library ? AU_VERSION : 0;
}

bool au_init(int32_t device_number, uint32_t frequency, uint32_t, os_window*) {
    core::safepoint();
    if (device() != 0 || frequency == 0 || frequency > 192000) return false;
    SDL_AudioDeviceID d = 0;
    sdl::on_main([&] { d = open_device(device_number, frequency); });
    if (d == 0) return false;
    std::lock_guard lock(audio().mutex);
    audio().device = d;
    audio().rate = static_cast<int32_t>(frequency);
    return true;
}

void au_free() {
    core::safepoint();
    audio_state& a = audio();
    SDL_AudioDeviceID d;
    {
        std::lock_guard lock(a.mutex);
        d = a.device;
        a.device = 0;
    }
    if (!d) return;
    // Once closed, the callback has run for the last time.
    sdl::on_main([d] {
        SDL_CloseAudioDevice(d);
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    });
    std::unique_lock lock(a.mutex);
    free_module_locked(a, lock);
}

bool au_start() {
    core::safepoint();
    return pause_device(false);
}

bool au_stop() {
    core::safepoint();
    return pause_device(true);
}

bool au_pause() {
    core::safepoint();
    return pause_device(true);
}

au_music au_musicload(bool memory, const char* file, uint32_t offset, uint32_t length, uint32_t) {
    core::safepoint();
    if (device() == 0) return 0;
    std::vector<uint8_t> bytes;
    if (!module_bytes(memory, file, offset, length, &bytes)) return 0;
    openmpt_module* m = open_module(bytes);
    if (!m) return 0;
    audio_state& a = audio();
    std::unique_lock lock(a.mutex);
    free_module_locked(a, lock);  // one module at a time: a new one replaces the old
    a.module = m;
    a.music = a.next_music++;
    a.scaler = 1;
    a.position = 0;
    return a.music;
}

void au_musicfree(au_music music) {
    core::safepoint();
    audio_state& a = audio();
    std::unique_lock lock(a.mutex);
    if (music != 0 && music == a.music) free_module_locked(a, lock);
}

bool au_musicsetpositionscaler(au_music music, uint32_t scale) {
    core::safepoint();
    audio_state& a = audio();
    std::lock_guard lock(a.mutex);
    if (music == 0 || music != a.music) return false;
    a.scaler = scale;
    return true;
}

uint32_t au_musicgetlength(au_music music) {
    core::safepoint();
    audio_state& a = audio();
    std::lock_guard lock(a.mutex);
    if (music == 0 || music != a.music) return 0;
    return static_cast<uint32_t>(std::max(openmpt_module_get_num_orders(a.module), 0));
}

bool au_musicplay(au_music music) {
    core::safepoint();
    audio_state& a = audio();
    std::lock_guard lock(a.mutex);
    if (music == 0 || music != a.music) return false;
    openmpt_module_set_position_order_row(a.module, 0, 0);
    a.position = 0;
    a.playing = true;
    a.ended = false;
    return true;
}

au_sync au_channelsetsync(au_music music, uint32_t type, uint64_t, au_syncproc proc,
                          uint32_t user) {
    core::safepoint();
    audio_state& a = audio();
    std::lock_guard lock(a.mutex);
    if (music == 0 || music != a.music || type != AU_SYNC_END || !proc) return 0;
    a.end = end_sync{proc, a.next_sync++, user};
    return a.end.handle;
}

bool au_channelremovesync(au_music music, au_sync sync) {
    core::safepoint();
    audio_state& a = audio();
    std::unique_lock lock(a.mutex);
    if (music == 0 || music != a.music || sync == 0 || sync != a.end.handle) return false;
    drop_sync_locked(a, lock);
    return true;
}

uint32_t au_channelgetposition(au_music music) {
    core::safepoint();
    audio_state& a = audio();
    std::lock_guard lock(a.mutex);
    if (music == 0 || music != a.music) return 0;
    // What the last buffer rendered reached, not the module's own position,
    // which wraps to the start as the end comes near.
    return a.position;
}

bool au_channelsetposition(au_music music, uint32_t position) {
    core::safepoint();
    audio_state& a = audio();
    std::lock_guard lock(a.mutex);
    if (music == 0 || music != a.music || a.ended) return false;
    auto order = static_cast<int32_t>(position & 0xFFFF);
    auto row = static_cast<int32_t>(a.scaler ? (position >> 16) / a.scaler : 0);
    if (order >= openmpt_module_get_num_orders(a.module)) return false;
    // Jumps at once: the next buffer the device asks for starts there.
    openmpt_module_set_position_order_row(a.module, order, row);
    a.position = position_word(a);
    return true;
}
