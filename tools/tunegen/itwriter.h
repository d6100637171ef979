// tools/tunegen/itwriter.h -- an Impulse Tracker module in memory and the writer
// that turns it into the bytes of an .it file (format 2.14, instrument mode,
// linear slides, uncompressed 16-bit samples).
//
// The composer (tunes*.cpp) and the fixture builder fill an it_module; main.cpp
// and the tests call it_write. The writer owns no state.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Pattern note values besides 0..119 (C-0 .. B-9; C-5 is middle C, note 60).
constexpr int16_t it_note_off = 255;
constexpr int16_t it_note_cut = 254;

// Effect letters as the file numbers them: A is 1, Z is 26.
constexpr uint8_t it_fx(char letter) {
    return static_cast<uint8_t>(letter - 'A' + 1);
}

// Volume-column bytes: 0..64 volume, 128..192 panning, and the slides and
// vibrato/portamento forms with their 0..9 parameter.
constexpr int16_t it_vol(int v) {
    return static_cast<int16_t>(v);
}
constexpr int16_t it_vpan(int p) {
    return static_cast<int16_t>(128 + p);
}
constexpr int16_t it_vslide_up(int x) {
    return static_cast<int16_t>(85 + x);
}
constexpr int16_t it_vslide_down(int x) {
    return static_cast<int16_t>(95 + x);
}
constexpr int16_t it_vporta(int x) {
    return static_cast<int16_t>(193 + x);
}
constexpr int16_t it_vvibrato(int x) {
    return static_cast<int16_t>(203 + x);
}

// One cell of a pattern; a field below zero (or instrument/command 0) is empty.
struct it_cell {
    int16_t note = -1;
    uint8_t instrument = 0;  // 1..99
    int16_t volume = -1;     // a volume-column byte
    uint8_t command = 0;     // it_fx letter
    uint8_t param = 0;
    bool empty() const { return note < 0 && instrument == 0 && volume < 0 && command == 0; }
    bool operator==(const it_cell&) const = default;
};

struct it_pattern {
    int rows = 64;  // 32..200
    int channels = 0;
    std::vector<it_cell> cells;  // rows * channels, row-major
    it_cell& at(int row, int channel) { return cells[row * channels + channel]; }
    const it_cell& at(int row, int channel) const { return cells[row * channels + channel]; }
    bool operator==(const it_pattern&) const = default;
};

struct it_sample {
    std::string name;           // up to 25 characters
    std::vector<int16_t> data;  // signed 16-bit PCM, mono
    uint32_t c5speed = 22050;   // rate at which note C-5 plays the data
    bool loop = false;          // loop_begin..loop_end (exclusive), forwards
    uint32_t loop_begin = 0;
    uint32_t loop_end = 0;
    uint8_t volume = 64;         // default note volume 0..64
    uint8_t global_volume = 64;  // 0..64
    uint8_t vibrato_speed = 0;   // automatic sample vibrato, 0..64 each
    uint8_t vibrato_depth = 0;
    uint8_t vibrato_rate = 0;
};

struct it_envelope_node {
    uint16_t tick;
    int8_t value;  // 0..64 for volume, -32..32 for panning and pitch
};

struct it_envelope {
    std::vector<it_envelope_node> nodes;  // none: envelope off
    int sustain_begin = -1;               // node indices of the sustain loop, -1 none
    int sustain_end = -1;
    int loop_begin = -1;  // node indices of the plain loop, -1 none
    int loop_end = -1;
};

enum class it_nna : uint8_t { cut = 0, proceed = 1, note_off = 2, fade = 3 };

struct it_instrument {
    std::string name;  // up to 25 characters
    int sample = 1;    // 1-based sample played by every note of the keyboard
    it_nna nna = it_nna::cut;
    uint16_t fadeout = 0;         // 0..128, per tick against a count of 1024
    uint8_t global_volume = 128;  // 0..128
    int default_pan = -1;         // 0..64, -1 none
    it_envelope volume;
};

struct it_module {
    std::string title;    // up to 25 characters
    uint8_t speed = 6;    // ticks per row
    uint8_t tempo = 125;  // a tick lasts 2.5 / tempo seconds
    uint8_t global_volume = 128;
    uint8_t mix_volume = 48;
    uint8_t separation = 128;
    uint8_t rows_per_beat = 4;  // the editor's row highlights
    uint8_t rows_per_bar = 16;
    std::vector<uint8_t> channel_pan;     // per used channel 0..64
    std::vector<uint8_t> channel_volume;  // per used channel 0..64
    std::vector<uint8_t> orders;          // pattern numbers; the end marker is added
    std::vector<it_pattern> patterns;
    std::vector<it_instrument> instruments;
    std::vector<it_sample> samples;
};

// The module's file bytes. Bad models (too many patterns, rows or channels out
// of range, a name that does not fit) end the program with a message.
std::vector<uint8_t> it_write(const it_module& module);

// Packs one pattern the way the file stores it (8-byte header included).
std::vector<uint8_t> it_pack_pattern(const it_pattern& pattern);

[[noreturn]] void tunegen_fail(const char* format, ...) __attribute__((format(printf, 1, 2)));
