// tools/artgen/tunes.cpp -- reading the generated modules.
#include "tools/artgen/tunes.h"

#include <libopenmpt/libopenmpt.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace {

// What each tune is, in the words of the disk's liner notes.
struct notes {
    const char* style;
    const char* description;
};
constexpr notes liner[12] = {
    {"chiptune", "A bright chiptune in D major: pulse lead and arpeggios."},
    {"ambient", "Slow ambient in F lydian: a wide pad, glass bells, the sea."},
    {"electro", "Driving electro in A minor, four on the floor, saw bass."},
    {"jazz", "Swinging jazz in B flat: walking bass, piano, vibraphone."},
    {"waltz", "A carousel waltz in G major: music box, accordion, tuba."},
    {"desert", "A caravan in E phrygian dominant: oud, flute, hand drums."},
    {"downtempo", "Rainy downtempo in D dorian: electric piano, soft flute."},
    {"night drive", "A night drive in F sharp minor: pulsing bass, square lead."},
    {"jig", "A harbour jig in A mixolydian: flute and fiddle, bodhran."},
    {"baroque", "A clockwork garden in C minor: harpsichord and a clock."},
    {"festival", "A lantern festival in A flat pentatonic: plucks and taiko."},
    {"ballad", "A homeward ballad in E flat: piano and strings, then F."},
};

[[noreturn]] void fail(const std::string& what) {
    fprintf(stderr, "artgen: %s\n", what.c_str());
    exit(1);
}

std::string take(const char* text) {
    std::string copy = text ? text : "";
    openmpt_free_string(text);
    return copy;
}

}  // namespace

std::vector<tune_info> read_tunes(const std::string& folder) {
    std::vector<tune_info> tunes;
    for (int n = 1; n <= 12; n++) {
        char name[16];
        snprintf(name, sizeof name, "tune%02d.it", n);
        std::string path = folder + "/" + name;
        std::ifstream in(path, std::ios::binary);
        if (!in) fail("cannot read " + path);
        std::vector<char> bytes(std::istreambuf_iterator<char>(in), {});
        // Initial speed and tempo stand at offsets 0x32 and 0x33 of the header.
        if (bytes.size() < 0xC0) fail(path + " is not an Impulse Tracker module");
        openmpt_module* mod = openmpt_module_create_from_memory2(
            bytes.data(), bytes.size(), openmpt_log_func_silent, nullptr, nullptr, nullptr, nullptr,
            nullptr, nullptr);
        if (!mod) fail(path + " is not a module libopenmpt can read");
        tune_info t;
        t.number = n;
        t.title = take(openmpt_module_get_metadata(mod, "title"));
        t.seconds = static_cast<int>(std::floor(openmpt_module_get_duration_seconds(mod)));
        t.orders = openmpt_module_get_num_orders(mod);
        t.patterns = openmpt_module_get_num_patterns(mod);
        t.channels = openmpt_module_get_num_channels(mod);
        t.instruments = openmpt_module_get_num_instruments(mod);
        t.speed = static_cast<unsigned char>(bytes[0x32]);
        t.tempo = static_cast<unsigned char>(bytes[0x33]);
        t.style = liner[n - 1].style;
        t.description = liner[n - 1].description;
        openmpt_module_destroy(mod);
        tunes.push_back(t);
    }
    return tunes;
}

std::string minutes_seconds(int seconds) {
    char text[16];
    snprintf(text, sizeof text, "%d:%02d", seconds / 60, seconds % 60);
    return text;
}
