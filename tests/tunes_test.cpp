// The generated tunes and test fixtures, read back and rendered by libopenmpt,
// and the module writer's structure as libopenmpt reads it.
#include <gtest/gtest.h>
#include <libopenmpt/libopenmpt.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tools/tunegen/fixtures.h"
#include "tools/tunegen/itwriter.h"
#include "tools/tunegen/score.h"
#include "tools/tunegen/tunes.h"

namespace {

// The player mixes at this rate.
constexpr int rate = 44100;

std::vector<uint8_t> read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// libopenmpt's strings belong to the caller.
std::string take(const char* text) {
    std::string copy = text ? text : "";
    openmpt_free_string(text);
    return copy;
}

void collect(const char* message, void* user) {
    *static_cast<std::string*>(user) += std::string(message) + "\n";
}

// A module opened from bytes, with everything libopenmpt logs about it.
struct opened {
    std::string log;
    openmpt_module* mod = nullptr;
    explicit opened(const std::vector<uint8_t>& bytes) {
        mod = openmpt_module_create_from_memory2(bytes.data(), bytes.size(), collect, &log, nullptr,
                                                 nullptr, nullptr, nullptr, nullptr);
    }
    ~opened() {
        if (mod) openmpt_module_destroy(mod);
    }
    std::string meta(const char* name) const {
        return take(openmpt_module_get_metadata(mod, name));
    }
};

struct loudness {
    double peak = 0;
    double rms_db = -200;
    double seconds = 0;
    double longest_gap = 0;    // seconds below gap_db inside the piece
    double trailing_gap = 0;   // seconds below gap_db at the end
    double last_db = -200;     // the last 300 ms
    std::vector<double> left;  // the left channel, kept when asked
};

constexpr double gap_db = -45;
constexpr double window = 0.05;

double to_db(double x) {
    return 20 * std::log10(std::max(x, 1e-10));
}

// Renders the whole module once, in 50 ms windows.
loudness render(openmpt_module* mod, bool keep = false) {
    loudness l;
    const size_t frames = static_cast<size_t>(rate * window);
    std::vector<float> buffer(2 * frames);
    double sum = 0, gap = 0;
    size_t count = 0;
    std::vector<double> windows;
    while (size_t got =
               openmpt_module_read_interleaved_float_stereo(mod, rate, frames, buffer.data())) {
        double window_sum = 0;
        for (size_t i = 0; i < 2 * got; i++) {
            l.peak = std::max(l.peak, static_cast<double>(std::fabs(buffer[i])));
            window_sum += buffer[i] * buffer[i];
        }
        if (keep)
            for (size_t i = 0; i < got; i++) l.left.push_back(buffer[2 * i]);
        sum += window_sum;
        count += 2 * got;
        l.seconds += static_cast<double>(got) / rate;
        windows.push_back(window_sum / (2 * got));
        bool quiet = to_db(std::sqrt(windows.back())) < gap_db;
        if (!quiet) l.longest_gap = std::max(l.longest_gap, gap);
        gap = quiet ? gap + window : 0;
    }
    l.trailing_gap = gap;
    double tail = 0;
    size_t last = std::min<size_t>(windows.size(), 6);
    for (size_t i = windows.size() - last; i < windows.size(); i++) tail += windows[i] / last;
    l.last_db = to_db(std::sqrt(tail));
    l.rms_db = to_db(std::sqrt(sum / std::max<size_t>(count, 1)));
    return l;
}

std::string tune_path(int n) {
    char name[32];
    snprintf(name, sizeof name, "/tune%02d.it", n);
    return std::string(KORVITE_TUNES_DIR) + name;
}

class Tune : public ::testing::TestWithParam<int> {};

TEST_P(Tune, IsTheGeneratorsModuleAndLoadsWithItsTitleOrdersAndLength) {
    std::vector<uint8_t> bytes = read_file(tune_path(GetParam()));
    it_module model = tune_build(GetParam());
    // A fresh build of the same tune gives the same bytes as the build did.
    EXPECT_TRUE(bytes == it_write(model));
    EXPECT_LT(bytes.size(), 300u * 1024);

    opened m(bytes);
    ASSERT_NE(m.mod, nullptr) << m.log;
    EXPECT_EQ(m.log, "");
    EXPECT_EQ(m.meta("warnings"), "");
    EXPECT_EQ(m.meta("title"), model.title);
    EXPECT_FALSE(model.title.empty());
    EXPECT_EQ(openmpt_module_get_num_orders(m.mod), static_cast<int>(model.orders.size()));
    double seconds = openmpt_module_get_duration_seconds(m.mod);
    EXPECT_NEAR(seconds, module_seconds(model), 0.01 * seconds);
    EXPECT_GE(seconds, 60.0);
    EXPECT_LE(seconds, 180.0);
}

TEST_P(Tune, PlaysOnceAudiblyWithoutClippingOrGaps) {
    opened m(read_file(tune_path(GetParam())));
    ASSERT_NE(m.mod, nullptr);
    openmpt_module_set_repeat_count(m.mod, 0);
    loudness l = render(m.mod);
    EXPECT_EQ(m.log, "");
    EXPECT_NEAR(l.seconds, openmpt_module_get_duration_seconds(m.mod), 0.5);
    EXPECT_LT(l.peak, 1.0);
    EXPECT_GT(l.rms_db, -30.0);
    EXPECT_LT(l.longest_gap, 1.0);
    // It ends with a fade or the last chord's release, not cut off in the
    // middle of a sound nor after a stretch of nothing.
    EXPECT_LT(l.last_db, l.rms_db - 25);
    EXPECT_LT(l.trailing_gap, 3.0);
}

INSTANTIATE_TEST_SUITE_P(Twelve, Tune, ::testing::Range(1, tune_count + 1),
                         [](const ::testing::TestParamInfo<int>& info) {
                             char name[16];
                             snprintf(name, sizeof name, "tune%02d", info.param);
                             return std::string(name);
                         });

TEST(TunesTogether, HaveTwelveDifferentTitlesAndTempos) {
    std::vector<std::string> titles;
    std::vector<int> tempos;
    for (int n = 1; n <= tune_count; n++) {
        it_module m = tune_build(n);
        titles.push_back(m.title);
        tempos.push_back(m.tempo * 6 / m.speed);
    }
    std::sort(titles.begin(), titles.end());
    std::sort(tempos.begin(), tempos.end());
    EXPECT_EQ(std::unique(titles.begin(), titles.end()), titles.end());
    EXPECT_EQ(std::unique(tempos.begin(), tempos.end()), tempos.end());
}

// The strongest frequency near hz among a few candidates, by correlation.
double strength(const std::vector<double>& x, size_t from, size_t to, double hz) {
    double re = 0, im = 0;
    for (size_t i = from; i < to; i++) {
        double phase = 2 * M_PI * hz * i / rate;
        re += x[i] * std::cos(phase);
        im += x[i] * std::sin(phase);
    }
    return std::hypot(re, im);
}

TEST(Fixtures, ModulesHaveTheDocumentedOrdersLengthsAndTones) {
    for (const fixture& f : fixtures) {
        if (f.orders == 0) continue;
        SCOPED_TRACE(f.file);
        opened m(read_file(std::string(KORVITE_FIXTURES_DIR) + "/" + f.file));
        ASSERT_NE(m.mod, nullptr) << m.log;
        EXPECT_EQ(m.log, "");
        EXPECT_EQ(m.meta("title"), f.title);
        EXPECT_EQ(openmpt_module_get_num_orders(m.mod), f.orders);
        EXPECT_NEAR(openmpt_module_get_duration_seconds(m.mod), f.seconds, 0.001);
        EXPECT_NEAR(f.seconds, f.orders * f.order_seconds, 1e-9);
        for (int i = 0; i < f.orders; i++) {
            openmpt_module_set_position_order_row(m.mod, i, 0);
            EXPECT_NEAR(openmpt_module_get_position_seconds(m.mod), i * f.order_seconds, 0.001);
        }
        openmpt_module_set_position_order_row(m.mod, 0, 0);
        openmpt_module_set_repeat_count(m.mod, 0);
        loudness l = render(m.mod, true);
        // libopenmpt renders the last tick's ramp-down, a few milliseconds past the end.
        EXPECT_GE(l.seconds, f.seconds);
        EXPECT_LT(l.seconds, f.seconds + 0.15);
        EXPECT_LT(l.peak, 1.0);
        // Each order sounds its own tone, louder than the other orders' tones.
        for (int i = 0; i < f.orders; i++) {
            size_t from = static_cast<size_t>((i + 0.25) * f.order_seconds * rate);
            size_t to = static_cast<size_t>((i + 0.75) * f.order_seconds * rate);
            double own = strength(l.left, from, to, fixture_order_hz[i % 4]);
            for (int j = 0; j < 4; j++) {
                if (j == i % 4) continue;
                EXPECT_GT(own, 10 * strength(l.left, from, to, fixture_order_hz[j]));
            }
        }
    }
}

TEST(Fixtures, TheFileThatIsNotAModuleIsRefused) {
    for (const fixture& f : fixtures) {
        if (f.orders != 0) continue;
        std::vector<uint8_t> bytes = read_file(std::string(KORVITE_FIXTURES_DIR) + "/" + f.file);
        ASSERT_FALSE(bytes.empty());
        opened m(bytes);
        EXPECT_EQ(m.mod, nullptr);
    }
}

// A small module whose cells use every packing case: each field alone and
// together, a field repeated on the next row (written as "same as last"), a
// mask repeated (not written again), note-off and note-cut, the extreme
// notes, volume-column panning and slides, a channel far from the first.
struct placed {
    int pattern, row, channel;
    it_cell cell;
};

const std::vector<placed> cells = {
    {0, 0, 0, {60, 1, 64, it_fx('A'), 3}},
    {0, 1, 0, {60, 1, 64, it_fx('A'), 3}},
    {0, 2, 0, {62, 1, 64, it_fx('H'), 0x44}},
    {0, 3, 0, {62, 2, 30, it_fx('J'), 0x37}},
    {0, 4, 0, {it_note_off, 0, -1, 0, 0}},
    {0, 5, 0, {it_note_cut, 0, -1, 0, 0}},
    {0, 6, 0, {0, 2, -1, 0, 0}},
    {0, 7, 0, {119, 2, -1, 0, 0}},
    {0, 8, 0, {-1, 0, it_vpan(0), 0, 0}},
    {0, 9, 0, {-1, 0, it_vpan(64), 0, 0}},
    {0, 10, 0, {-1, 0, it_vslide_down(3), 0, 0}},
    {0, 11, 0, {-1, 0, -1, it_fx('D'), 0x04}},
    {0, 12, 0, {-1, 0, -1, it_fx('D'), 0x04}},
    {0, 0, 1, {48, 2, -1, 0, 0}},
    {0, 31, 1, {50, 1, 12, it_fx('X'), 0x80}},
    {0, 31, 5, {72, 1, 0, it_fx('G'), 0x20}},
    {1, 0, 5, {-1, 0, -1, it_fx('T'), 0x90}},
    {1, 47, 0, {61, 1, 33, 0, 0}},
};

it_module round_trip_module() {
    it_module m;
    m.title = "Round trip";
    m.speed = 5;
    m.tempo = 133;
    m.channel_pan = {0, 16, 32, 48, 64, 32};
    m.channel_volume = {64, 64, 64, 64, 64, 40};
    for (int rows : {32, 48}) {
        it_pattern p;
        p.rows = rows;
        p.channels = 6;
        p.cells.assign(rows * 6, it_cell{});
        m.patterns.push_back(p);
    }
    for (const placed& c : cells) m.patterns[c.pattern].at(c.row, c.channel) = c.cell;
    m.orders = {1, 0, 1};
    for (const char* name : {"first sample", "second sample"}) {
        it_sample s;
        s.name = name;
        s.data.assign(100, 0);
        m.samples.push_back(s);
    }
    for (int i = 1; i <= 2; i++) {
        it_instrument ins;
        ins.name = i == 1 ? "first instrument" : "second instrument";
        ins.sample = i;
        m.instruments.push_back(ins);
    }
    return m;
}

// libopenmpt numbers notes from 1 (C-0) and keeps 254 and 255.
int expected_note(int16_t note) {
    return note < 0 ? 0 : note >= 120 ? note : note + 1;
}

TEST(Writer, HeaderNamesOrdersAndEveryCellReadBackThroughLibopenmpt) {
    it_module model = round_trip_module();
    opened m(it_write(model));
    ASSERT_NE(m.mod, nullptr) << m.log;
    EXPECT_EQ(m.log, "");
    EXPECT_EQ(m.meta("title"), "Round trip");
    EXPECT_EQ(openmpt_module_get_current_speed(m.mod), 5);
    EXPECT_EQ(openmpt_module_get_current_tempo(m.mod), 133);
    EXPECT_EQ(openmpt_module_get_num_channels(m.mod), 6);
    ASSERT_EQ(openmpt_module_get_num_orders(m.mod), 3);
    for (int o = 0; o < 3; o++)
        EXPECT_EQ(openmpt_module_get_order_pattern(m.mod, o), model.orders[o]);
    ASSERT_EQ(openmpt_module_get_num_patterns(m.mod), 2);
    EXPECT_EQ(openmpt_module_get_pattern_num_rows(m.mod, 0), 32);
    EXPECT_EQ(openmpt_module_get_pattern_num_rows(m.mod, 1), 48);
    EXPECT_EQ(take(openmpt_module_get_instrument_name(m.mod, 1)), "second instrument");
    EXPECT_EQ(take(openmpt_module_get_sample_name(m.mod, 0)), "first sample");

    auto get = [&](int p, int row, int ch, int what) {
        return openmpt_module_get_pattern_row_channel_command(m.mod, p, row, ch, what);
    };
    auto text = [&](int p, int row, int ch, int what) {
        return take(openmpt_module_format_pattern_row_channel_command(m.mod, p, row, ch, what));
    };
    for (int p = 0; p < 2; p++)
        for (int row = 0; row < model.patterns[p].rows; row++)
            for (int ch = 0; ch < 6; ch++) {
                SCOPED_TRACE(testing::Message()
                             << "pattern " << p << " row " << row << " channel " << ch);
                const it_cell& c = model.patterns[p].at(row, ch);
                EXPECT_EQ(get(p, row, ch, OPENMPT_MODULE_COMMAND_NOTE), expected_note(c.note));
                EXPECT_EQ(get(p, row, ch, OPENMPT_MODULE_COMMAND_INSTRUMENT), c.instrument);
                std::string effect =
                    c.command ? std::string(1, static_cast<char>('A' + c.command - 1)) : ".";
                EXPECT_EQ(text(p, row, ch, OPENMPT_MODULE_COMMAND_EFFECT), effect);
                EXPECT_EQ(get(p, row, ch, OPENMPT_MODULE_COMMAND_PARAMETER), c.param);
                // Volume column: plain volume, panning, or a slide of 0..9.
                std::string kind = text(p, row, ch, OPENMPT_MODULE_COMMAND_VOLUMEEFFECT);
                int value = get(p, row, ch, OPENMPT_MODULE_COMMAND_VOLUME);
                if (c.volume < 0)
                    EXPECT_EQ(kind, " ");
                else if (c.volume <= 64)
                    EXPECT_EQ(kind + std::to_string(value), "v" + std::to_string(c.volume));
                else if (c.volume >= 128 && c.volume <= 192)
                    EXPECT_EQ(kind + std::to_string(value), "p" + std::to_string(c.volume - 128));
                else
                    EXPECT_EQ(kind + std::to_string(value), "d" + std::to_string(c.volume - 95));
            }
}

TEST(Writer, PacksRepeatedFieldsAsSameAsLast) {
    // Two equal cells in a row: the second is the channel marker alone, the
    // mask (all four "same as last" bits) and nothing else.
    it_pattern p;
    p.rows = 32;
    p.channels = 1;
    p.cells.assign(32, it_cell{});
    p.at(0, 0) = {60, 1, 64, it_fx('A'), 3};
    p.at(1, 0) = p.at(0, 0);
    p.at(2, 0) = p.at(0, 0);
    std::vector<uint8_t> expected = {42,   0,    32, 0, 0,  0, 0, 0,  // data length, rows
                                     0x81, 0x0f, 60, 1, 64, 1, 3, 0,  // row 0: every field
                                     0x81, 0xf0, 0,                   // row 1: all as last
                                     0x01, 0};                        // row 2: the same mask
    expected.insert(expected.end(), 29, 0);                           // rows 3..31: empty
    EXPECT_EQ(it_pack_pattern(p), expected);
}

}  // namespace
