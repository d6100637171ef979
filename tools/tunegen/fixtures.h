// tools/tunegen/fixtures.h -- the modules the player's tests play, written by
// tunegen into build/tests/fixtures/ at build time.
//
// Every order of a fixture is one pattern of 32 rows at tempo 160 (a tick is
// 15.625 ms) and lasts order_seconds exactly; order i sounds one steady sine
// tone of fixture_order_hz[i % 4] from its first row to its last, so a test
// can tell from the sound which order is playing. The song then ends (no
// loop). A fixture with no orders is a text file that no loader takes for a
// module. Tests include this header for the names and figures.
#pragma once
#include <cstdint>
#include <vector>

struct fixture {
    const char* file;      // file name in the fixtures folder
    const char* title;     // the module's song name
    int orders;            // orders before the end marker; 0: not a module
    double order_seconds;  // how long each order plays
    double seconds;        // orders * order_seconds
};

inline constexpr fixture fixtures[] = {
    {"four_orders.it", "Four Orders", 4, 1.0, 4.0},
    {"short.it", "Short", 1, 0.5, 0.5},
    {"not_a_module.it", "", 0, 0.0, 0.0},
};

// The tone of order i is fixture_order_hz[i % 4] (A, C#, E and A an octave
// up: notes A-5, C#6, E-6, A-6 with C-5 as middle C).
inline constexpr double fixture_order_hz[4] = {440.0, 554.365, 659.255, 880.0};
inline constexpr int fixture_order_note[4] = {69, 73, 76, 81};

// The file's bytes (built by tunegen; tests read the written files).
std::vector<uint8_t> fixture_bytes(const fixture& f);
