// tools/tunegen/synth.h -- synthesised samples for the generated modules.
//
// Every pitched sample is tuned so that note C-5 sounds middle C (261.63 Hz):
// loops hold a whole number of cycles, one-shots are rendered at a rate that
// is a whole multiple of middle C. Drums sound their natural pitch at C-5.
// Called by the tunes; owns no state (noise comes from the caller's rng).
#pragma once
#include <cstdint>
#include <vector>

#include "tools/tunegen/itwriter.h"

// A small deterministic generator (xorshift), the same on every build.
struct rng {
    uint32_t state;
    explicit rng(uint32_t seed) : state(seed ? seed : 0x9e3779b9u) {}
    uint32_t next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
    int below(int n) { return static_cast<int>(next() % static_cast<uint32_t>(n)); }
    double uniform() { return (next() >> 8) * (1.0 / 16777216.0); }  // [0, 1)
    double bipolar() { return uniform() * 2.0 - 1.0; }
    bool chance(double p) { return uniform() < p; }
};

enum class wave { sine, triangle, saw, square, pulse25, pulse12 };

// One band-limited cycle looped: the classic tracker waveforms.
it_sample synth_wave(const char* name, wave shape, int harmonics);

// Several slightly detuned copies of a waveform in one seamless loop: a wide
// ensemble for pads and strings.
it_sample synth_ensemble(const char* name, wave shape, int harmonics, int voices, double spread);

// Additive organ from partial amplitudes (partial 1 = fundamental).
it_sample synth_organ(const char* name, const std::vector<double>& partials);

// Two-operator FM one-shot: carrier at the note, modulator at ratio times it;
// the index falls from index to a tenth of it over bright seconds.
it_sample synth_fm(const char* name, double ratio, double index, double bright, double decay,
                   double seconds);

// A plucked string (a delay line with a damped average), looped on its tail.
it_sample synth_pluck(const char* name, double damping, double seconds, rng& r);

// Drums.
it_sample synth_kick(const char* name, double from_hz, double to_hz, double sweep, double decay);
it_sample synth_snare(const char* name, double tone_hz, double decay, double snappy, rng& r);
it_sample synth_hat(const char* name, double decay, rng& r);
it_sample synth_clap(const char* name, rng& r);
it_sample synth_tom(const char* name, double hz, double decay, rng& r);
it_sample synth_cymbal(const char* name, double decay, rng& r);
it_sample synth_shaker(const char* name, rng& r);

// Softly filtered noise in a seamless loop: wind and surf for ambient pieces.
it_sample synth_noise_pad(const char* name, double cutoff_hz, rng& r);
