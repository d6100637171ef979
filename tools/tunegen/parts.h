// tools/tunegen/parts.h -- the musical parts a tune is made of: pads, bass
// lines, drum grooves, arpeggios, melodies and their echoes and harmonies,
// fades and slowing endings. Each writes into rows [from, to) of one score,
// following the score's harmony. Called by the tunes; owns no state.
#pragma once
#include <string>
#include <vector>

#include "tools/tunegen/score.h"
#include "tools/tunegen/synth.h"

// The chord's root as the lowest note at or above low.
int root_at_or_above(const chord& c, int low);

// Sustained chords on count channels from first, voice-led: each chord keeps
// the voices it shares with the last and moves the others the shortest way.
// With a rhythm (one bar: 'x' strike, 'o' soft strike, '=' let go, '.' go
// on) the chord is struck to it instead. Voices end with a note-off at to.
void part_pad(score& s, int first, int count, int instrument, int volume, int from, int to, int low,
              int high, const std::string& rhythm = "");

enum class bass_style { held, eighths, octaves, root_fifth, walking, waltz, syncopated, pulse };
void part_bass(score& s, int channel, int instrument, int volume, int from, int to,
               bass_style style, int low, rng& r);

// One drum voice: a pattern of one bar, a character per row: '.' nothing,
// 'o' soft, 'x' normal, 'X' accented.
struct drum_line {
    int channel;
    int instrument;
    std::string pattern;
    int volume;
};
// The groove every bar; every fill_every bars the last bar plays fill instead
// (fill lines replace the groove lines of the same channel).
void part_drums(score& s, const std::vector<drum_line>& groove, const std::vector<drum_line>& fill,
                int fill_every, int from, int to);

// Broken chords: order names chord tones by index ('0' the lowest at or above
// low, '3' of a triad is the root an octave up), one every step rows.
void part_arp(score& s, int channel, int instrument, int volume, int from, int to, int low,
              const std::string& order, int step);

// Tracker chords: the root with the arpeggio command cycling its third and
// fifth; rhythm is one bar, 'x' strikes, '-' holds, '.' lets go.
void part_chip_chords(score& s, int channel, int instrument, int volume, int from, int to, int low,
                      const std::string& rhythm);

struct melody_style {
    int low = 60, high = 84;
    int volume = 48;
    // Rhythm cells of one bar in rows; a negative length is a rest.
    std::vector<std::vector<int>> rhythms;
    // Cells that end a phrase: their last note is long.
    std::vector<std::vector<int>> cadences;
    double leap = 0.25;     // chance that a step is a leap
    int vibrato = 0;        // H parameter on long notes, 0 none
    int vibrato_after = 4;  // rows into a note before the vibrato starts
    int slide = 0;          // G parameter for sliding into near notes, 0 none
    double slide_chance = 0;
    bool staccato = false;  // note-off three quarters through each note
    int decay = 0;          // volume slide down on every note, 0 none
};
// A melody of phrases of phrase_bars bars, one per letter of form; letters
// that repeat reuse their motif, varied.
void part_melody(score& s, int channel, int instrument, const key& k, const melody_style& style,
                 int from, int to, const std::string& form, int phrase_bars, rng& r);

// A second voice that follows channel src degrees scale steps away (-2: a
// third below), with its own instrument and volume.
void part_harmony(score& s, int src, int dst, int instrument, const key& k, int degrees, int volume,
                  int from, int to);

// The notes of src again on dst, delay rows later, at volume percent.
void part_echo(score& s, int src, int dst, int delay, int percent, int from, int to);

// The global volume slides to silence over [from, to).
void part_fade(score& s, int channel, int from, int to);

// Tempo steps from one value to another over [from, to), a change each beat.
void part_ritardando(score& s, int channel, int from, int to, int tempo_from, int tempo_to);

// Sets every channel's panning at row (X command) from pans, 0..64 each.
void part_panning(score& s, int channel, int row, int pan);
