// tools/tunegen/melody.cpp -- melodies from motifs, and the voices that follow
// a melody (harmony a few scale steps away, echoes).
//
// A motif is a rhythm of a phrase and the scale steps between its notes. The
// phrase's third bar repeats the rhythm and steps of its first (a sequence),
// its last bar is a cadence with a long final note. The steps are realised
// over the harmony: notes on strong beats and long notes land on chord tones,
// the others walk the scale between them.
#include <algorithm>
#include <cstdlib>

#include "tools/tunegen/parts.h"

namespace {

struct motif {
    std::vector<int> rhythm;  // lengths in rows, rests negative, phrase_bars bars
    std::vector<int> steps;   // one scale step per note
};

int pick_step(const melody_style& st, int previous, rng& r) {
    if (r.chance(st.leap)) {
        int size = 2 + r.below(3);
        // A leap goes against the last motion, the way singers recover.
        return previous > 0 ? -size : previous < 0 ? size : (r.chance(0.5) ? size : -size);
    }
    if (r.chance(0.12)) return 0;
    // Steps tend to keep their direction, so lines run instead of wobbling.
    if (previous == 1 || previous == -1) return r.chance(0.65) ? previous : -previous;
    return r.chance(0.5) ? 1 : -1;
}

motif make_motif(const melody_style& st, int phrase_bars, rng& r) {
    motif m;
    std::vector<int> first = st.rhythms[r.below(static_cast<int>(st.rhythms.size()))];
    for (int b = 0; b < phrase_bars; b++) {
        const std::vector<int>* cell = &first;
        std::vector<int> other;
        if (b == phrase_bars - 1) {
            other = st.cadences[r.below(static_cast<int>(st.cadences.size()))];
            cell = &other;
        } else if (b % 2 == 1) {
            other = st.rhythms[r.below(static_cast<int>(st.rhythms.size()))];
            cell = &other;
        }
        m.rhythm.insert(m.rhythm.end(), cell->begin(), cell->end());
    }
    int previous = 0;
    size_t first_notes = 0;
    for (int len : first) first_notes += len > 0;
    for (int len : m.rhythm) {
        if (len <= 0) continue;
        // Bar three echoes bar one's steps: the motif heard again higher or lower.
        size_t index = m.steps.size();
        int step = phrase_bars >= 4 && index >= 2 * first_notes && index < 3 * first_notes
                       ? m.steps[index - 2 * first_notes]
                       : pick_step(st, previous, r);
        m.steps.push_back(step);
        previous = step;
    }
    return m;
}

motif vary(const motif& m, const melody_style& st, rng& r) {
    motif v = m;
    for (size_t i = 1; i < v.steps.size(); i++)
        if (r.chance(0.3)) v.steps[i] += r.chance(0.5) ? 1 : -1;
    // A different cadence now and then.
    if (r.chance(0.5)) {
        const std::vector<int>& cad = st.cadences[r.below(static_cast<int>(st.cadences.size()))];
        int bar_rows = 0;
        for (int len : cad) bar_rows += std::abs(len);
        int total = 0;
        size_t cut = 0;
        for (int len : v.rhythm) total += std::abs(len);
        for (int acc = 0; cut < v.rhythm.size() && acc < total - bar_rows; cut++)
            acc += std::abs(v.rhythm[cut]);
        size_t notes_before = 0;
        for (size_t i = 0; i < cut; i++) notes_before += v.rhythm[i] > 0;
        v.rhythm.resize(cut);
        v.rhythm.insert(v.rhythm.end(), cad.begin(), cad.end());
        v.steps.resize(notes_before);
        for (int len : cad)
            if (len > 0) v.steps.push_back(pick_step(st, v.steps.empty() ? 0 : v.steps.back(), r));
    }
    return v;
}

// The scale degree near d whose note is a tone of c, nearest in pitch.
int snap_to_chord(const key& k, const chord& c, int d) {
    int best = d, best_distance = 1000;
    for (int e = d - 3; e <= d + 3; e++) {
        int distance = std::abs(k.note(e) - k.note(d));
        if (c.has(k.note(e)) && distance < best_distance) {
            best = e;
            best_distance = distance;
        }
    }
    return best;
}

bool strong(const score& s, int row, int length) {
    int in_bar = row % s.bar();
    int strong_every = s.beats_per_bar % 2 == 0 ? s.bar() / 2 : s.bar();
    return in_bar % strong_every == 0 || length >= 2 * s.rows_per_beat;
}

}  // namespace

void part_melody(score& s, int channel, int instrument, const key& k, const melody_style& st,
                 int from, int to, const std::string& form, int phrase_bars, rng& r) {
    for (const auto* cells : {&st.rhythms, &st.cadences})
        for (const std::vector<int>& cell : *cells) {
            int rows = 0;
            for (int len : cell) rows += std::abs(len);
            if (rows != s.bar())
                tunegen_fail("%s: a rhythm cell is not one bar", s.module.title.c_str());
        }
    std::vector<motif> motifs(26);
    std::vector<bool> made(26, false);
    int degree = k.degree_near((st.low + st.high) / 2);
    int row = from, last_pitch = -1;
    bool bounce = false;
    for (size_t p = 0; p < form.size() && row < to; p++) {
        int letter = form[p] - 'A';
        motif m;
        if (!made[letter]) {
            motifs[letter] = make_motif(st, phrase_bars, r);
            made[letter] = true;
            m = motifs[letter];
        } else {
            m = vary(motifs[letter], st, r);
        }
        bool final_phrase = p + 1 == form.size();
        size_t note_index = 0, notes = 0;
        for (int len : m.rhythm) notes += len > 0;
        for (int len : m.rhythm) {
            if (row >= to) break;
            int length = std::abs(len);
            if (len < 0) {
                if (last_pitch >= 0) s.off(channel, row);
                last_pitch = -1;
                row += length;
                continue;
            }
            const chord& c = s.harmony(row);
            int step = m.steps[note_index++];
            degree += bounce ? -step : step;
            bool last = note_index == notes;
            if (strong(s, row, length) || last) degree = snap_to_chord(k, c, degree);
            if (last && final_phrase) {
                // Close on the chord's root where the scale has it.
                for (int e = degree - 3; e <= degree + 3; e++)
                    if ((k.note(e) - c.root) % 12 == 0 && std::abs(e - degree) <= 3) {
                        degree = e;
                        break;
                    }
            }
            while (k.note(degree) > st.high) degree -= 2, bounce = !bounce;
            while (k.note(degree) < st.low) degree += 2, bounce = !bounce;
            int pitch = k.note(degree);
            bool downbeat = row % s.bar() == 0;
            int volume = std::clamp(downbeat ? st.volume : st.volume * 7 / 8, 0, 64);
            bool slide = st.slide && last_pitch >= 0 && std::abs(pitch - last_pitch) <= 4 &&
                         pitch != last_pitch && r.chance(st.slide_chance);
            s.note(channel, row, pitch, instrument, volume);
            if (slide)
                s.fx(channel, row, 'G', st.slide);
            else if (st.decay)
                s.fx(channel, row, 'D', st.decay);
            if (st.vibrato)
                for (int t = row + st.vibrato_after; t < row + length; t++)
                    s.fx(channel, t, 'H', st.vibrato);
            if (st.staccato && length >= 2) s.off(channel, row + length * 3 / 4);
            last_pitch = st.staccato ? -1 : pitch;
            row += length;
        }
    }
    s.off(channel, std::min(row, to));
}

void part_harmony(score& s, int src, int dst, int instrument, const key& k, int degrees, int volume,
                  int from, int to) {
    for (int row = from; row < to; row++) {
        const it_cell& c = s.at(row, src);
        if (c.note == it_note_off || c.note == it_note_cut) s.off(dst, row);
        if (c.note >= 0 && c.note < 120) {
            int d = k.degree_near(c.note) + degrees;
            const chord& h = s.harmony(row);
            // Keep long notes inside the chord: move a step if the plain
            // interval clashes with it.
            if (!h.has(k.note(d))) {
                if (h.has(k.note(d - 1)))
                    d -= 1;
                else if (h.has(k.note(d + 1)) && degrees < -1)
                    d += 1;
            }
            s.note(dst, row, k.note(d), instrument, volume);
        }
        if (c.command == it_fx('H') || c.command == it_fx('G'))
            s.fx(dst, row, c.command - 1 + 'A', c.param);
    }
    s.off(dst, to);
}

void part_echo(score& s, int src, int dst, int delay, int percent, int from, int to) {
    for (int row = from; row + delay < to; row++) {
        const it_cell& c = s.at(row, src);
        if (c.note == it_note_off) s.off(dst, row + delay);
        if (c.note >= 0 && c.note < 120) {
            int v = c.volume >= 0 && c.volume <= 64 ? c.volume : 64;
            s.note(dst, row + delay, c.note, c.instrument, v * percent / 100);
        }
        if (c.command == it_fx('H') || c.command == it_fx('G'))
            s.fx(dst, row + delay, c.command - 1 + 'A', c.param);
    }
    s.off(dst, to);
}
