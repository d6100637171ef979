// tools/tunegen/score.cpp -- the composer's grid, chords and keys, and the cut
// of the grid into a module's patterns and orders.
#include "tools/tunegen/score.h"

#include <cstdlib>
#include <sstream>

const std::vector<int> major_scale = {0, 2, 4, 5, 7, 9, 11};
const std::vector<int> minor_scale = {0, 2, 3, 5, 7, 8, 10};
const std::vector<int> dorian_scale = {0, 2, 3, 5, 7, 9, 10};
const std::vector<int> mixolydian_scale = {0, 2, 4, 5, 7, 9, 10};
const std::vector<int> lydian_scale = {0, 2, 4, 6, 7, 9, 11};
const std::vector<int> harmonic_minor_scale = {0, 2, 3, 5, 7, 8, 11};
const std::vector<int> phrygian_dominant_scale = {0, 1, 4, 5, 7, 8, 10};
const std::vector<int> pentatonic_scale = {0, 2, 4, 7, 9};

namespace {

int pitch_class(int note) {
    return ((note % 12) + 12) % 12;
}

struct quality {
    const char* suffix;
    std::vector<int> tones;
};

const std::vector<quality> qualities = {
    {"", {0, 4, 7}},
    {"m", {0, 3, 7}},
    {"7", {0, 4, 7, 10}},
    {"maj7", {0, 4, 7, 11}},
    {"m7", {0, 3, 7, 10}},
    {"dim", {0, 3, 6}},
    {"m7b5", {0, 3, 6, 10}},
    {"dim7", {0, 3, 6, 9}},
    {"aug", {0, 4, 8}},
    {"sus4", {0, 5, 7}},
    {"sus2", {0, 2, 7}},
    {"7sus4", {0, 5, 7, 10}},
    {"add9", {0, 4, 7, 14}},
    {"madd9", {0, 3, 7, 14}},
    {"6", {0, 4, 7, 9}},
    {"m6", {0, 3, 7, 9}},
    {"9", {0, 4, 7, 10, 14}},
    {"m9", {0, 3, 7, 10, 14}},
    {"maj9", {0, 4, 7, 11, 14}},
    {"mmaj7", {0, 3, 7, 11}},
};

}  // namespace

bool chord::has(int pitch) const {
    for (int t : tones)
        if (pitch_class(root + t) == pitch_class(pitch)) return true;
    return false;
}

chord chord_named(const std::string& name) {
    static const int letters[7] = {9, 11, 0, 2, 4, 5, 7};  // A..G
    if (name.empty() || name[0] < 'A' || name[0] > 'G')
        tunegen_fail("bad chord \"%s\"", name.c_str());
    chord c;
    c.root = letters[name[0] - 'A'];
    size_t i = 1;
    if (i < name.size() && (name[i] == '#' || name[i] == 'b')) c.root += name[i++] == '#' ? 1 : -1;
    c.root = pitch_class(c.root);
    std::string rest = name.substr(i);
    for (const quality& q : qualities)
        if (rest == q.suffix) {
            c.tones = q.tones;
            return c;
        }
    tunegen_fail("bad chord \"%s\"", name.c_str());
}

int key::note(int degree) const {
    int n = static_cast<int>(scale.size());
    int octave = degree >= 0 ? degree / n : -((-degree + n - 1) / n);
    return tonic + 12 * octave + scale[degree - octave * n];
}

int key::degree_near(int target) const {
    int n = static_cast<int>(scale.size());
    int guess = (target - tonic) * n / 12;
    int best = guess, best_distance = 1000;
    for (int d = guess - n; d <= guess + n; d++) {
        int distance = std::abs(note(d) - target);
        if (distance < best_distance) {
            best = d;
            best_distance = distance;
        }
    }
    return best;
}

it_cell& score::at(int row, int channel) {
    return grid[row * channels + channel];
}

const chord& score::harmony(int row) const {
    size_t i = 0;
    while (i + 1 < chord_start.size() && chord_start[i + 1] <= row) i++;
    return chord_at_start[i];
}

int score::harmony_end(int row) const {
    for (int start : chord_start)
        if (start > row) return start;
    return rows;
}

void score::note(int channel, int row, int pitch, int instrument, int volume) {
    if (row < 0 || row >= rows) return;
    if (pitch < 0 || pitch > 119)
        tunegen_fail("%s: note %d out of range", module.title.c_str(), pitch);
    it_cell& c = at(row, channel);
    c.note = static_cast<int16_t>(pitch);
    c.instrument = static_cast<uint8_t>(instrument);
    c.volume = static_cast<int16_t>(volume);
}

void score::off(int channel, int row) {
    if (row < 0 || row >= rows) return;
    it_cell& c = at(row, channel);
    c.note = it_note_off;
    c.instrument = 0;
}

void score::fx(int channel, int row, char letter, int param) {
    if (row < 0 || row >= rows) return;
    it_cell& c = at(row, channel);
    c.command = it_fx(letter);
    c.param = static_cast<uint8_t>(param);
}

void score::vol(int channel, int row, int16_t volume_byte) {
    if (row < 0 || row >= rows) return;
    at(row, channel).volume = volume_byte;
}

void score_setup(score& s, const char* title, int tempo, int speed, int rows_per_beat,
                 int beats_per_bar, int channels) {
    s.module.title = title;
    s.module.tempo = static_cast<uint8_t>(tempo);
    s.module.speed = static_cast<uint8_t>(speed);
    s.module.rows_per_beat = static_cast<uint8_t>(rows_per_beat);
    s.module.rows_per_bar = static_cast<uint8_t>(rows_per_beat * beats_per_bar);
    s.rows_per_beat = rows_per_beat;
    s.beats_per_bar = beats_per_bar;
    s.channels = channels;
    s.module.channel_pan.assign(channels, 32);
    s.module.channel_volume.assign(channels, 64);
}

int score_instrument(score& s, const it_sample& sample, it_instrument instrument) {
    s.module.samples.push_back(sample);
    instrument.sample = static_cast<int>(s.module.samples.size());
    if (instrument.name.empty()) instrument.name = sample.name;
    s.module.instruments.push_back(instrument);
    return static_cast<int>(s.module.instruments.size());
}

void score_sections(score& s, const std::vector<section>& sections) {
    int row = 0;
    for (const section& sec : sections) {
        if (sec.bars % s.bars_per_pattern)
            tunegen_fail("%s: section %s does not fill whole patterns", s.module.title.c_str(),
                         sec.name.c_str());
        int end = row + sec.bars * s.bar();
        std::vector<std::string> names;
        std::istringstream words(sec.chords);
        for (std::string w; words >> w;) names.push_back(w);
        // The chords repeat until the section is full.
        for (size_t i = 0; row < end; i++) {
            std::string w = names[i % names.size()];
            int length = s.bar();
            size_t colon = w.find(':');
            if (colon != std::string::npos) {
                length = std::atoi(w.c_str() + colon + 1) * s.rows_per_beat;
                w = w.substr(0, colon);
            }
            s.chord_start.push_back(row);
            s.chord_at_start.push_back(chord_named(w));
            row += length;
        }
        s.sections.push_back({sec.name, end - sec.bars * s.bar(), end});
        row = end;
    }
    s.rows = row;
    s.grid.assign(static_cast<size_t>(s.rows) * s.channels, it_cell{});
}

const placed_section& score_section(const score& s, const std::string& name, int which) {
    for (const placed_section& p : s.sections)
        if (p.name == name && which-- == 0) return p;
    tunegen_fail("%s: no section %s", s.module.title.c_str(), name.c_str());
}

it_module score_finish(score& s) {
    int length = s.bars_per_pattern * s.bar();
    if (s.rows % length)
        tunegen_fail("%s: the grid does not fill whole patterns", s.module.title.c_str());
    it_module m = s.module;
    for (int from = 0; from < s.rows; from += length) {
        it_pattern p;
        p.rows = length;
        p.channels = s.channels;
        p.cells.assign(s.grid.begin() + static_cast<long>(from) * s.channels,
                       s.grid.begin() + static_cast<long>(from + length) * s.channels);
        size_t index = 0;
        while (index < m.patterns.size() && !(m.patterns[index] == p)) index++;
        if (index == m.patterns.size()) m.patterns.push_back(p);
        m.orders.push_back(static_cast<uint8_t>(index));
    }
    return m;
}

double module_seconds(const it_module& m) {
    double seconds = 0;
    int speed = m.speed, tempo = m.tempo;
    for (uint8_t order : m.orders) {
        const it_pattern& p = m.patterns[order];
        for (int row = 0; row < p.rows; row++) {
            for (int ch = 0; ch < p.channels; ch++) {
                const it_cell& c = p.at(row, ch);
                if (c.command == it_fx('A') && c.param) speed = c.param;
                if (c.command == it_fx('T') && c.param >= 0x20) tempo = c.param;
            }
            seconds += speed * 2.5 / tempo;
        }
    }
    return seconds;
}

it_envelope envelope_adsr(int attack, int decay, int sustain, int release) {
    it_envelope e;
    e.nodes.push_back({0, static_cast<int8_t>(attack > 0 ? 0 : 64)});
    int tick = 0;
    if (attack > 0) e.nodes.push_back({static_cast<uint16_t>(tick += attack), 64});
    if (decay > 0)
        e.nodes.push_back({static_cast<uint16_t>(tick += decay), static_cast<int8_t>(sustain)});
    e.sustain_begin = e.sustain_end = static_cast<int>(e.nodes.size()) - 1;
    e.nodes.push_back({static_cast<uint16_t>(tick + (release > 0 ? release : 1)), 0});
    return e;
}

it_envelope envelope_decay(int ticks) {
    it_envelope e;
    e.nodes = {{0, 64}, {static_cast<uint16_t>(ticks), 0}};
    return e;
}
