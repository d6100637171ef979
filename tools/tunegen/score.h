// tools/tunegen/score.h -- the composer's sheet: one long grid of rows per
// channel, the harmony laid over it, and the step that cuts the grid into
// patterns of a module.
//
// A tune (tunes_*.cpp) sets the score up, adds its instruments, lays out its
// sections and chords, lets the parts (parts.h) write into the grid, then
// calls score_finish. Owns no state beyond the score object the tune holds.
#pragma once
#include <string>
#include <vector>

#include "tools/tunegen/itwriter.h"

// A chord: its root as a pitch class (0 = C) and its tones as semitones above
// the root, lowest first.
struct chord {
    int root = 0;
    std::vector<int> tones;
    bool has(int pitch) const;  // pitch class test
};

// "C", "F#m7", "Bbmaj7", "Esus4", "Am7b5" ...; an unknown name ends the program.
chord chord_named(const std::string& name);

// A key: the tonic as a note (C-5 = 60) and the scale's steps above it.
struct key {
    int tonic = 60;
    std::vector<int> scale;  // semitones, ascending, first 0
    // The note of scale degree d (0 = tonic; 7 of a seven-note scale is the
    // tonic an octave up, negative degrees lie below).
    int note(int degree) const;
    // The scale degree whose note is nearest to the given note (ties go down).
    int degree_near(int note) const;
};

extern const std::vector<int> major_scale, minor_scale, dorian_scale, mixolydian_scale,
    lydian_scale, harmonic_minor_scale, phrygian_dominant_scale, pentatonic_scale;

struct section {
    std::string name;    // "intro", "verse", ... (for the reader of the tune)
    int bars;            // a multiple of the score's bars per pattern
    std::string chords;  // chord names a bar each; "name:beats" for shorter ones
};

// Where a section lies in the grid once laid out.
struct placed_section {
    std::string name;
    int from, to;  // rows, to exclusive
};

struct score {
    it_module module;
    int channels = 8;
    int rows_per_beat = 4;
    int beats_per_bar = 4;
    int bars_per_pattern = 4;
    int rows = 0;                  // the grid's length
    std::vector<it_cell> grid;     // rows * channels
    std::vector<int> chord_start;  // harmony: row where each chord begins
    std::vector<chord> chord_at_start;
    std::vector<placed_section> sections;

    int bar() const { return rows_per_beat * beats_per_bar; }
    it_cell& at(int row, int channel);
    const chord& harmony(int row) const;
    // The row where the chord sounding at row ends (or the end of the grid).
    int harmony_end(int row) const;

    // Cell writers; rows past the grid are ignored so parts may run over.
    void note(int channel, int row, int note, int instrument, int volume = -1);
    void off(int channel, int row);
    void fx(int channel, int row, char letter, int param);
    void vol(int channel, int row, int16_t volume_byte);
};

// Sets the header values; speed and tempo give the row length
// (speed * 2.5 / tempo seconds).
void score_setup(score& s, const char* title, int tempo, int speed, int rows_per_beat,
                 int beats_per_bar, int channels);

// Adds a sample and an instrument that plays it; returns the instrument number.
int score_instrument(score& s, const it_sample& sample, it_instrument instrument);

// Lays the sections end to end, fills the grid with empty rows and the
// harmony with their chords.
void score_sections(score& s, const std::vector<section>& sections);
const placed_section& score_section(const score& s, const std::string& name, int which = 0);

// Cuts the grid into patterns of bars_per_pattern bars, shares the ones that
// repeat exactly, and builds the order list.
it_module score_finish(score& s);

// How long a module plays: its orders row by row, following the speed (A)
// and tempo (T, set values only) commands.
double module_seconds(const it_module& m);

// A volume envelope that rises over attack ticks, falls to sustain (0..64)
// over decay ticks, holds there while the note is held and dies over release
// ticks after the note-off.
it_envelope envelope_adsr(int attack, int decay, int sustain, int release);
// A volume envelope that only decays: to zero over ticks, no sustain.
it_envelope envelope_decay(int ticks);
