// tools/tunegen/tunes.cpp -- the table of the twelve tunes.
#include "tools/tunegen/tunes.h"

it_module tune_build(int n) {
    static it_module (*const builders[tune_count])() = {
        tune_pixel_sunrise,  tune_tidal_glass,      tune_neon_circuit,     tune_blue_hour,
        tune_carousel_waltz, tune_desert_caravan,   tune_quiet_rain,       tune_midnight_highway,
        tune_harbour_jig,    tune_clockwork_garden, tune_lantern_festival, tune_homeward,
    };
    if (n < 1 || n > tune_count) tunegen_fail("no tune %d", n);
    return builders[n - 1]();
}
