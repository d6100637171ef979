// tools/tunegen/parts.cpp -- accompaniment parts: pads, bass lines, drums,
// arpeggios and tracker chords, and the global fades and tempo changes.
// Melodies and the voices that follow them are in melody.cpp.
#include "tools/tunegen/parts.h"

#include <algorithm>
#include <cstdlib>

namespace {

int clamp_volume(int v) {
    return std::clamp(v, 0, 64);
}

// The next chord's start, the part's end, whichever comes first.
int span_end(const score& s, int row, int to) {
    return std::min(s.harmony_end(row), to);
}

struct voicing_search {
    const chord* c;
    const std::vector<int>* previous;
    std::vector<int> candidates;
    int count, centre;
    std::vector<int> pick, best;
    int best_cost = 1 << 30;

    int cost() const {
        int total = 0;
        for (int i = 0; i < count; i++) {
            int target = previous->empty() ? centre + (i - count / 2) * 4 : (*previous)[i];
            total += std::abs(pick[i] - target);
        }
        // Keep the root and the third, avoid doubling and tight clusters.
        auto covers = [&](int tone) {
            for (int p : pick)
                if ((p - c->root - tone) % 12 == 0) return true;
            return false;
        };
        if (!covers(c->tones[0])) total += 4;
        if (c->tones.size() > 1 && !covers(c->tones[1])) total += 6;
        for (int i = 1; i < count; i++) {
            int gap = pick[i] - pick[i - 1];
            if (gap < 3) total += 5;
            if (gap > 12) total += 3;
            if (gap % 12 == 0) total += 4;
        }
        return total;
    }
    void search(size_t from) {
        if (static_cast<int>(pick.size()) == count) {
            int here = cost();
            if (here < best_cost) {
                best_cost = here;
                best = pick;
            }
            return;
        }
        for (size_t i = from; i < candidates.size(); i++) {
            pick.push_back(candidates[i]);
            search(i + 1);
            pick.pop_back();
        }
    }
};

std::vector<int> voice_chord(const chord& c, const std::vector<int>& previous, int count, int low,
                             int high) {
    voicing_search v{&c, &previous, {}, count, (low + high) / 2, {}, {}};
    for (int p = low; p <= high; p++)
        if (c.has(p)) v.candidates.push_back(p);
    if (static_cast<int>(v.candidates.size()) < count) tunegen_fail("pad range too narrow");
    v.search(0);
    return v.best;
}

// The chord tones at or above low, ascending.
std::vector<int> tones_above(const chord& c, int low, size_t count) {
    std::vector<int> out;
    for (int p = low; out.size() < count && p < 120; p++)
        if (c.has(p)) out.push_back(p);
    return out;
}

void check_bar_pattern(const score& s, const std::string& pattern) {
    if (static_cast<int>(pattern.size()) != s.bar())
        tunegen_fail("%s: pattern \"%s\" is not one bar long", s.module.title.c_str(),
                     pattern.c_str());
}

}  // namespace

int root_at_or_above(const chord& c, int low) {
    int p = low;
    while ((p - c.root) % 12 != 0) p++;
    return p;
}

void part_pad(score& s, int first, int count, int instrument, int volume, int from, int to, int low,
              int high, const std::string& rhythm) {
    std::vector<int> previous;
    auto strike = [&](int row, int v, bool all) {
        std::vector<int> voices = voice_chord(s.harmony(row), previous, count, low, high);
        for (int i = 0; i < count; i++)
            if (all || previous.empty() || voices[i] != previous[i])
                s.note(first + i, row, voices[i], instrument, clamp_volume(v));
        previous = voices;
    };
    if (rhythm.empty()) {
        for (int row = from; row < to; row = span_end(s, row, to)) strike(row, volume, false);
    } else {
        check_bar_pattern(s, rhythm);
        for (int row = from; row < to; row++) {
            char ch = rhythm[(row - from) % s.bar()];
            if (ch == 'x' || ch == 'o') strike(row, ch == 'x' ? volume : volume * 3 / 5, true);
            if (ch == '=')
                for (int i = 0; i < count; i++) s.off(first + i, row);
        }
    }
    for (int i = 0; i < count; i++) s.off(first + i, to);
}

void part_bass(score& s, int channel, int instrument, int volume, int from, int to,
               bass_style style, int low, rng& r) {
    const int beat = s.rows_per_beat, step = std::max(1, beat / 2), bar = s.bar();
    int last = -1;
    auto play = [&](int row, int pitch, int v) {
        s.note(channel, row, pitch, instrument, clamp_volume(v));
        last = pitch;
    };
    for (int row = from; row < to;) {
        const chord& c = s.harmony(row);
        int end = span_end(s, row, to);
        int root = root_at_or_above(c, low);
        int next_root = end < s.rows ? root_at_or_above(s.harmony(end), low) : root;
        int fifth = root + 7 > low + 16 ? root - 5 : root + 7;
        switch (style) {
        case bass_style::held:
            for (int t = row; t < end; t += bar) play(t, root, volume);
            break;
        case bass_style::eighths:
        case bass_style::octaves:
        case bass_style::pulse: {
            int each = style == bass_style::pulse ? 1 : step;
            for (int t = row, i = 0; t < end; t += each, i++) {
                int pitch = style == bass_style::octaves && i % 2 ? root + 12 : root;
                bool accent = (t - from) % beat == 0;
                // The last note before a change may lead into the next root.
                if (t + each >= end && end < to && next_root != root && r.chance(0.4))
                    pitch = next_root + (next_root > root ? -1 : 1);
                play(t, pitch, accent ? volume : volume - 10);
            }
            break;
        }
        case bass_style::root_fifth:
            for (int t = row, i = 0; t < end; t += 2 * beat, i++)
                play(t, i % 2 ? fifth : root, volume);
            break;
        case bass_style::walking:
            for (int t = row; t < end; t += beat) {
                int pitch;
                if (t == row)
                    pitch = root;
                else if (t + beat >= end && end < to)
                    pitch = next_root + (r.chance(0.5) ? 1 : -1);
                else {
                    // A chord tone or its neighbour, near the last note.
                    std::vector<int> options = tones_above(c, low, 6);
                    options.push_back(last + (r.chance(0.5) ? 2 : -2));
                    pitch = options[r.below(static_cast<int>(options.size()))];
                    if (pitch == last) pitch = root + 12 <= low + 19 ? root + 12 : root;
                }
                play(t, std::clamp(pitch, low - 2, low + 19), t == row ? volume : volume - 6);
            }
            break;
        case bass_style::waltz:
            for (int t = row, i = 0; t < end; t += bar, i++) play(t, i % 2 ? fifth : root, volume);
            break;
        case bass_style::syncopated:
            for (int b = row; b < end; b += bar) {
                play(b, root, volume);
                if (b + 3 * step < end) play(b + 3 * step, root, volume - 8);
                if (b + 6 * step < end)
                    play(b + 6 * step, r.chance(0.5) ? root + 12 : fifth, volume - 4);
            }
            break;
        }
        row = end;
    }
    s.off(channel, to);
}

void part_drums(score& s, const std::vector<drum_line>& groove, const std::vector<drum_line>& fill,
                int fill_every, int from, int to) {
    for (const drum_line& d : groove) check_bar_pattern(s, d.pattern);
    for (const drum_line& d : fill) check_bar_pattern(s, d.pattern);
    for (int bar_start = from, index = 0; bar_start < to; bar_start += s.bar(), index++) {
        bool fill_bar = fill_every > 0 && !fill.empty() && index % fill_every == fill_every - 1;
        std::vector<drum_line> lines;
        for (const drum_line& d : groove) {
            bool replaced = false;
            for (const drum_line& f : fill) replaced |= fill_bar && f.channel == d.channel;
            if (!replaced) lines.push_back(d);
        }
        if (fill_bar) lines.insert(lines.end(), fill.begin(), fill.end());
        for (const drum_line& d : lines)
            for (int i = 0; i < s.bar() && bar_start + i < to; i++) {
                char ch = d.pattern[i];
                int v = ch == 'X'   ? d.volume
                        : ch == 'x' ? d.volume * 4 / 5
                        : ch == 'o' ? d.volume * 9 / 20
                                    : -1;
                if (v >= 0) s.note(d.channel, bar_start + i, 60, d.instrument, clamp_volume(v));
            }
    }
}

void part_arp(score& s, int channel, int instrument, int volume, int from, int to, int low,
              const std::string& order, int step) {
    for (int t = from, i = 0; t < to; t += step, i++) {
        std::vector<int> tones = tones_above(s.harmony(t), low, 10);
        int index = order[i % order.size()] - '0';
        bool downbeat = (t - from) % s.rows_per_beat == 0;
        s.note(channel, t, tones[std::min<size_t>(index, tones.size() - 1)], instrument,
               clamp_volume(downbeat ? volume : volume - 6));
    }
    s.off(channel, to);
}

void part_chip_chords(score& s, int channel, int instrument, int volume, int from, int to, int low,
                      const std::string& rhythm) {
    check_bar_pattern(s, rhythm);
    bool sounding = false;
    for (int t = from; t < to; t++) {
        const chord& c = s.harmony(t);
        char ch = rhythm[(t - from) % s.bar()];
        int param = (std::min(c.tones[1], 15) << 4) | std::min(c.tones[2], 15);
        bool change = t == from || s.harmony_end(t - 1) == t;
        if (ch == 'x' || (ch == '-' && sounding && change)) {
            s.note(channel, t, root_at_or_above(c, low), instrument, volume);
            s.fx(channel, t, 'J', param);
            sounding = true;
        } else if (ch == '-' && sounding) {
            s.fx(channel, t, 'J', param);
        } else if (ch == '.' && sounding) {
            s.off(channel, t);
            sounding = false;
        }
    }
    s.off(channel, to);
}

void part_fade(score& s, int channel, int from, int to) {
    // W01 takes one step off the global volume on every tick but a row's
    // first; spread just enough of them evenly over the range so the volume
    // reaches zero at its end.
    int ticks_per_row = std::max(1, s.module.speed - 1);
    int count = (s.module.global_volume + ticks_per_row - 1) / ticks_per_row;
    int rows = to - from;
    if (count > rows) tunegen_fail("%s: fade too short", s.module.title.c_str());
    for (int i = 0; i < count; i++) s.fx(channel, from + (i * rows + rows - 1) / count, 'W', 1);
}

void part_ritardando(score& s, int channel, int from, int to, int tempo_from, int tempo_to) {
    int beats = std::max(1, (to - from) / s.rows_per_beat);
    for (int i = 0; i < beats; i++) {
        int tempo = tempo_from + (tempo_to - tempo_from) * i / std::max(1, beats - 1);
        s.fx(channel, from + i * s.rows_per_beat, 'T', std::clamp(tempo, 32, 255));
    }
}

void part_panning(score& s, int channel, int row, int pan) {
    s.fx(channel, row, 'X', std::min(255, pan * 4));
}
