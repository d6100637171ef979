// tools/artgen/tunes.h -- what the screens tell about the twelve tunes: read
// from the generated modules, plus the few words on each that artgen adds.
#pragma once
#include <string>
#include <vector>

struct tune_info {
    int number;  // 1..12
    std::string title;
    int seconds;  // playing time, whole seconds (as the play time counts)
    int orders, patterns, channels, instruments;
    int tempo, speed;         // the module's initial values
    std::string style;        // one or two words: "chiptune", "jazz" ...
    std::string description;  // one line on the piece
};

// Reads tune01.it .. tune12.it from the folder with libopenmpt (and the two
// header bytes of the initial speed and tempo). A missing or unreadable
// module ends the program with a message.
std::vector<tune_info> read_tunes(const std::string& folder);

// "1:35": minutes and two-digit seconds, as the play time shows them.
std::string minutes_seconds(int seconds);
