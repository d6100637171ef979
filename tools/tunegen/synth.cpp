// tools/tunegen/synth.cpp -- additive, FM, plucked and noise synthesis of the
// modules' samples, rendered in double precision and stored as 16-bit PCM.
#include "tools/tunegen/synth.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double pi = 3.14159265358979323846;
constexpr double middle_c = 261.6255653005986;

// A second-order filter with the usual cookbook coefficients.
struct biquad {
    double b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    double run(double x) {
        double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        return y;
    }
};

enum class pass { low, high, band };

biquad make_filter(pass kind, double hz, double q, double rate) {
    double w = 2 * pi * hz / rate, alpha = std::sin(w) / (2 * q), c = std::cos(w);
    double a0 = 1 + alpha;
    biquad f;
    if (kind == pass::low) {
        f.b0 = (1 - c) / 2;
        f.b1 = 1 - c;
        f.b2 = (1 - c) / 2;
    } else if (kind == pass::high) {
        f.b0 = (1 + c) / 2;
        f.b1 = -(1 + c);
        f.b2 = (1 + c) / 2;
    } else {
        f.b0 = alpha;
        f.b1 = 0;
        f.b2 = -alpha;
    }
    f.a1 = -2 * c;
    f.a2 = 1 - alpha;
    f.b0 /= a0;
    f.b1 /= a0;
    f.b2 /= a0;
    f.a1 /= a0;
    f.a2 /= a0;
    return f;
}

// Scales the signal to a peak of 90% of full scale and rounds it to PCM.
std::vector<int16_t> to_pcm(const std::vector<double>& x) {
    double peak = 1e-9;
    for (double v : x) peak = std::max(peak, std::fabs(v));
    std::vector<int16_t> out(x.size());
    for (size_t i = 0; i < x.size(); i++)
        out[i] = static_cast<int16_t>(std::lround(x[i] / peak * 29490.0));
    return out;
}

// Fades the last few milliseconds of a one-shot to silence, so that no note
// ends with a click.
void fade_tail(std::vector<double>& x, double rate, double seconds) {
    size_t n = std::min(x.size(), static_cast<size_t>(rate * seconds));
    for (size_t i = 0; i < n; i++) x[x.size() - 1 - i] *= static_cast<double>(i) / n;
}

it_sample make(const char* name, const std::vector<double>& x, double rate) {
    it_sample s;
    s.name = name;
    s.data = to_pcm(x);
    s.c5speed = static_cast<uint32_t>(std::lround(rate));
    return s;
}

it_sample make_loop(const char* name, const std::vector<double>& x, double c5speed) {
    it_sample s = make(name, x, c5speed);
    s.loop = true;
    s.loop_begin = 0;
    s.loop_end = static_cast<uint32_t>(x.size());
    return s;
}

// The value at phase (in cycles) of a band-limited waveform made of its first
// harmonics, each softened by the Lanczos factor so the edges do not ring.
double wave_at(wave shape, int harmonics, double phase) {
    if (shape == wave::sine) return std::sin(2 * pi * phase);
    double sum = 0;
    for (int h = 1; h <= harmonics; h++) {
        double x = pi * h / (harmonics + 1);
        double sigma = std::sin(x) / x;
        double a = 0, arg = 2 * pi * h * phase;
        switch (shape) {
        case wave::saw:
            a = std::sin(arg) / h;
            break;
        case wave::square:
            a = (h % 2) ? std::sin(arg) / h : 0;
            break;
        case wave::triangle:
            a = (h % 2) ? ((h / 2) % 2 ? -1.0 : 1.0) * std::sin(arg) / (h * h) : 0;
            break;
        case wave::pulse25:
            a = std::sin(pi * h * 0.25) * std::cos(arg) / h;
            break;
        case wave::pulse12:
            a = std::sin(pi * h * 0.125) * std::cos(arg) / h;
            break;
        case wave::sine:
            break;
        }
        sum += sigma * a;
    }
    return sum;
}

double envelope_attack(double t, double attack) {
    return t < attack ? t / attack : 1.0;
}

// Metallic noise of six square waves at unrelated pitches, a drum-machine
// cymbal's source.
double metal(double t) {
    static const double hz[6] = {205.3, 304.4, 369.6, 522.7, 540.0, 800.0};
    double sum = 0;
    for (double f : hz) sum += std::fmod(t * f * 2.0, 1.0) < 0.5 ? 1.0 : -1.0;
    return sum / 6.0;
}

}  // namespace

it_sample synth_wave(const char* name, wave shape, int harmonics) {
    const int n = 256;
    std::vector<double> x(n);
    for (int i = 0; i < n; i++) x[i] = wave_at(shape, harmonics, static_cast<double>(i) / n);
    return make_loop(name, x, middle_c * n);
}

it_sample synth_ensemble(const char* name, wave shape, int harmonics, int voices, double spread) {
    // 100 cycles of 128 samples; voice v runs k + offset whole cycles in the
    // same length, so every voice, and the sum, loops without a seam.
    const int cycle = 128, k = 100, n = cycle * k;
    std::vector<double> x(n, 0.0);
    for (int v = 0; v < voices; v++) {
        int offset = static_cast<int>(std::lround(spread * (v - (voices - 1) / 2.0)));
        double cycles = k + offset, start = 0.37 * v;
        for (int i = 0; i < n; i++) x[i] += wave_at(shape, harmonics, start + cycles * i / n);
    }
    return make_loop(name, x, middle_c * cycle);
}

it_sample synth_organ(const char* name, const std::vector<double>& partials) {
    const int n = 256;
    std::vector<double> x(n, 0.0);
    for (size_t p = 0; p < partials.size(); p++)
        for (int i = 0; i < n; i++) x[i] += partials[p] * std::sin(2 * pi * (p + 1) * i / n);
    return make_loop(name, x, middle_c * n);
}

it_sample synth_fm(const char* name, double ratio, double index, double bright, double decay,
                   double seconds) {
    const double rate = middle_c * 64;
    size_t n = static_cast<size_t>(rate * seconds);
    std::vector<double> x(n);
    for (size_t i = 0; i < n; i++) {
        double t = i / rate;
        double ix = index * (0.1 + 0.9 * std::exp(-t / bright));
        double mod = ix * std::sin(2 * pi * middle_c * ratio * t);
        x[i] = std::sin(2 * pi * middle_c * t + mod) * std::exp(-t / decay) *
               envelope_attack(t, 0.002);
    }
    fade_tail(x, rate, 0.03);
    return make(name, x, rate);
}

it_sample synth_pluck(const char* name, double damping, double seconds, rng& r) {
    // The averaging filter delays by half a sample, so the loop of p samples
    // rings at rate / (p + 0.5); the rate is chosen to make that middle C.
    const int p = 96;
    const double rate = middle_c * (p + 0.5);
    size_t n = static_cast<size_t>(rate * seconds);
    std::vector<double> x(n);
    double smooth = 0;
    for (int i = 0; i < p + 1 && i < static_cast<int>(n); i++) {
        smooth = 0.5 * smooth + 0.5 * r.bipolar();
        x[i] = smooth;
    }
    for (size_t i = p + 1; i < n; i++) x[i] = damping * 0.5 * (x[i - p] + x[i - p - 1]);
    fade_tail(x, rate, 0.05);
    return make(name, x, rate);
}

it_sample synth_kick(const char* name, double from_hz, double to_hz, double sweep, double decay) {
    const double rate = 22050;
    size_t n = static_cast<size_t>(rate * std::min(0.6, decay * 6));
    std::vector<double> x(n);
    double phase = 0;
    for (size_t i = 0; i < n; i++) {
        double t = i / rate;
        double hz = to_hz + (from_hz - to_hz) * std::exp(-t / sweep);
        phase += hz / rate;
        double click = t < 0.003 ? 0.5 * (1 - t / 0.003) : 0;
        x[i] =
            (std::sin(2 * pi * phase) + click) * std::exp(-t / decay) * envelope_attack(t, 0.0008);
    }
    fade_tail(x, rate, 0.02);
    return make(name, x, rate);
}

it_sample synth_snare(const char* name, double tone_hz, double decay, double snappy, rng& r) {
    const double rate = 32000;
    size_t n = static_cast<size_t>(rate * std::min(0.5, decay * 5));
    std::vector<double> x(n);
    biquad hp = make_filter(pass::high, 1800, 0.7, rate);
    biquad lp = make_filter(pass::low, 9000, 0.7, rate);
    double phase = 0;
    for (size_t i = 0; i < n; i++) {
        double t = i / rate;
        phase += tone_hz * (1 + 0.4 * std::exp(-t / 0.01)) / rate;
        double tone = std::sin(2 * pi * phase) * std::exp(-t / 0.06);
        double noise = lp.run(hp.run(r.bipolar())) * std::exp(-t / decay);
        x[i] = ((1 - snappy) * tone + snappy * 2.0 * noise) * envelope_attack(t, 0.0005);
    }
    fade_tail(x, rate, 0.02);
    return make(name, x, rate);
}

it_sample synth_hat(const char* name, double decay, rng& r) {
    const double rate = 32000;
    size_t n = static_cast<size_t>(rate * std::min(0.8, decay * 5));
    std::vector<double> x(n);
    biquad hp = make_filter(pass::high, 7000, 0.8, rate);
    for (size_t i = 0; i < n; i++) {
        double t = i / rate;
        x[i] = hp.run(0.6 * metal(t) + 0.4 * r.bipolar()) * std::exp(-t / decay);
    }
    fade_tail(x, rate, 0.01);
    return make(name, x, rate);
}

it_sample synth_clap(const char* name, rng& r) {
    const double rate = 32000;
    size_t n = static_cast<size_t>(rate * 0.3);
    std::vector<double> x(n);
    biquad bp = make_filter(pass::band, 1300, 1.2, rate);
    for (size_t i = 0; i < n; i++) {
        double t = i / rate;
        // Three quick bursts, then the room's tail.
        double burst = t < 0.033 ? std::exp(-std::fmod(t, 0.011) / 0.003) : 0;
        double tail = t >= 0.033 ? std::exp(-(t - 0.033) / 0.06) : 0;
        x[i] = bp.run(r.bipolar()) * (burst + tail);
    }
    fade_tail(x, rate, 0.02);
    return make(name, x, rate);
}

it_sample synth_tom(const char* name, double hz, double decay, rng& r) {
    const double rate = 22050;
    size_t n = static_cast<size_t>(rate * std::min(0.7, decay * 5));
    std::vector<double> x(n);
    double phase = 0;
    for (size_t i = 0; i < n; i++) {
        double t = i / rate;
        phase += hz * (1 + 0.5 * std::exp(-t / 0.04)) / rate;
        double skin = 0.15 * r.bipolar() * std::exp(-t / 0.015);
        x[i] = (std::sin(2 * pi * phase) + skin) * std::exp(-t / decay) * envelope_attack(t, 0.001);
    }
    fade_tail(x, rate, 0.02);
    return make(name, x, rate);
}

it_sample synth_cymbal(const char* name, double decay, rng& r) {
    const double rate = 22050;
    size_t n = static_cast<size_t>(rate * std::min(1.6, decay * 4));
    std::vector<double> x(n);
    biquad hp = make_filter(pass::high, 5000, 0.7, rate);
    for (size_t i = 0; i < n; i++) {
        double t = i / rate;
        x[i] = hp.run(0.5 * metal(t * 1.7) + 0.5 * r.bipolar()) * std::exp(-t / decay) *
               envelope_attack(t, 0.002);
    }
    fade_tail(x, rate, 0.05);
    return make(name, x, rate);
}

it_sample synth_shaker(const char* name, rng& r) {
    const double rate = 32000;
    size_t n = static_cast<size_t>(rate * 0.12);
    std::vector<double> x(n);
    biquad hp = make_filter(pass::high, 6000, 0.7, rate);
    for (size_t i = 0; i < n; i++) {
        double t = i / rate;
        x[i] = hp.run(r.bipolar()) * envelope_attack(t, 0.012) * std::exp(-t / 0.03);
    }
    fade_tail(x, rate, 0.01);
    return make(name, x, rate);
}

it_sample synth_noise_pad(const char* name, double cutoff_hz, rng& r) {
    const double rate = 16000;
    const size_t n = 24000, overlap = 4000;
    std::vector<double> raw(n + overlap);
    biquad lp1 = make_filter(pass::low, cutoff_hz, 0.6, rate);
    biquad lp2 = make_filter(pass::low, cutoff_hz, 0.6, rate);
    for (double& v : raw) v = lp2.run(lp1.run(r.bipolar()));
    // Cross-fade the extra tail into the head so the loop has no seam.
    std::vector<double> x(raw.begin(), raw.begin() + n);
    for (size_t i = 0; i < overlap; i++) {
        double w = static_cast<double>(i) / overlap;
        x[i] = w * raw[i] + (1 - w) * raw[n + i];
    }
    return make_loop(name, x, rate);
}
