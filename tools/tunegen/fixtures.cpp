// tools/tunegen/fixtures.cpp -- builds the player's test modules.
#include "tools/tunegen/fixtures.h"

#include <cmath>
#include <string>

#include "tools/tunegen/synth.h"

namespace {

constexpr int fixture_rows = 32;
constexpr int fixture_tempo = 160;

it_module fixture_module(const fixture& f) {
    // A row lasts speed * 2.5 / tempo seconds: 2 ticks make 1 s of 32 rows.
    double speed = f.order_seconds * fixture_tempo / (2.5 * fixture_rows);
    if (speed < 1 || speed > 31 || std::fabs(speed - std::round(speed)) > 1e-9)
        tunegen_fail("fixture %s: orders of %g s do not fit", f.file, f.order_seconds);
    it_module m;
    m.title = f.title;
    m.speed = static_cast<uint8_t>(std::lround(speed));
    m.tempo = fixture_tempo;
    m.channel_pan = {32};
    m.channel_volume = {64};
    it_sample tone = synth_wave("sine", wave::sine, 1);
    tone.volume = 40;
    m.samples.push_back(tone);
    it_instrument ins;
    ins.name = "sine";
    m.instruments.push_back(ins);
    for (int i = 0; i < f.orders; i++) {
        it_pattern p;
        p.rows = fixture_rows;
        p.channels = 1;
        p.cells.assign(fixture_rows, it_cell{});
        p.at(0, 0) = it_cell{static_cast<int16_t>(fixture_order_note[i % 4]), 1, -1, 0, 0};
        m.patterns.push_back(p);
        m.orders.push_back(static_cast<uint8_t>(i));
    }
    return m;
}

}  // namespace

std::vector<uint8_t> fixture_bytes(const fixture& f) {
    if (f.orders == 0) {
        std::string text = "This is a plain text file with a module's name, not a module.\n";
        return std::vector<uint8_t>(text.begin(), text.end());
    }
    return it_write(fixture_module(f));
}
