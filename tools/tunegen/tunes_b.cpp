// tools/tunegen/tunes_b.cpp -- tunes 5 to 8: the waltz, the desert caravan,
// the rainy downtempo piece and the night drive.
#include "tools/tunegen/parts.h"
#include "tools/tunegen/tunes.h"

// Tune 5: a carousel waltz in G major, 3/4 at 160 beats a minute: music box
// melody with a second voice, oom-pah-pah accordion, tuba bass, a trio in C,
// slowing down at the end.
it_module tune_carousel_waltz() {
    score s;
    enum { lead, second, acc, acc_b, acc_c, bass, low_drum, tick, control, channels };
    s.bars_per_pattern = 8;
    score_setup(s, "Carousel Waltz", 160, 6, 4, 3, channels);
    s.module.mix_volume = 60;  // quieter instruments, more mix
    rng r(505);
    it_instrument ring;
    ring.nna = it_nna::proceed;
    int box = score_instrument(s, synth_fm("music box", 3.0, 1.0, 0.05, 0.6, 1.2), ring);
    it_instrument ins;
    ins.nna = it_nna::note_off;
    ins.volume = envelope_adsr(2, 6, 44, 5);
    int accordion = score_instrument(s, synth_ensemble("accordion", wave::pulse25, 10, 3, 1), ins);
    ins.nna = it_nna::cut;
    ins.volume = envelope_adsr(0, 12, 36, 6);
    int tuba = score_instrument(s, synth_organ("tuba", {1.0, 0.6, 0.3, 0.15}), ins);
    it_instrument plain;
    int tom = score_instrument(s, synth_tom("bass drum", 70, 0.15, r), plain);
    int hat = score_instrument(s, synth_hat("tick", 0.03, r), plain);

    const char* a_chords = "G D7 D7 G G C D7 G G D7 D7 G C G D7 G";
    score_sections(s, {{"intro", 8, "G C D7 G"},
                       {"a", 16, a_chords},
                       {"b", 16, "Em B7 Em Em Am Em B7 Em C G D7 G Am D7 G G"},
                       {"a", 16, a_chords},
                       {"trio", 16, "C G7 G7 C C F G7 C F C G7 C F G7 C C"},
                       {"a", 16, a_chords},
                       {"outro", 8, "G C G D7 G C D7 G"}});
    key g{67, major_scale}, c{72, major_scale};
    s.module.channel_pan = {26, 40, 20, 32, 44, 32, 32, 38, 32};
    melody_style st;
    st.low = 74;
    st.high = 95;
    st.volume = 46;
    st.rhythms = {{4, 4, 4}, {8, 4}, {6, 2, 4}, {4, 2, 2, 4}, {2, 2, 4, 4}};
    st.cadences = {{12}, {4, 8}};

    for (const placed_section& p : s.sections) {
        // The outro's last two bars hold one chord, then let the box ring.
        int end = p.name == "outro" ? p.to - 2 * s.bar() : p.to;
        part_bass(s, bass, tuba, 50, p.from, end, bass_style::waltz, 31, r);
        part_pad(s, acc, 3, accordion, 30, p.from, end, 62, 79, "....x.=.x.=.");
        part_drums(s, {{low_drum, tom, "X...........", 40}, {tick, hat, "....x...x...", 24}}, {}, 0,
                   p.from, end);
    }
    for (int i = 0; i < 3; i++) {
        const placed_section& a = score_section(s, "a", i);
        part_melody(s, lead, box, g, st, a.from, a.to, i == 1 ? "AABC" : "AABA", 4, r);
        if (i) part_harmony(s, lead, second, box, g, -2, 30, a.from, a.to);
    }
    const placed_section& b = score_section(s, "b");
    part_melody(s, lead, box, g, st, b.from, b.to, "DDEF", 4, r);
    part_echo(s, lead, second, 6, 40, b.from, b.to);
    const placed_section& trio = score_section(s, "trio");
    st.low = 72;
    part_melody(s, lead, box, c, st, trio.from, trio.to, "GHGI", 4, r);
    part_harmony(s, lead, second, box, c, -5, 30, trio.from, trio.to);
    const placed_section& out = score_section(s, "outro");
    part_melody(s, lead, box, g, st, out.from, out.to - 2 * s.bar(), "J", 6, r);
    s.note(lead, out.to - 2 * s.bar(), 79, box, 48);
    s.note(second, out.to - 2 * s.bar(), 71, box, 36);
    part_pad(s, acc, 3, accordion, 30, out.to - 2 * s.bar(), out.to - s.bar(), 62, 79);
    s.note(bass, out.to - 2 * s.bar(), 43, tuba, 50);
    s.off(bass, out.to - s.bar());
    part_ritardando(s, control, out.from + 4 * s.bar(), out.to, 160, 104);
    return score_finish(s);
}

// Tune 6: a desert caravan in E phrygian dominant, 96 beats a minute: a
// plucked oud with slides, a breathy flute, hand drums in maqsum, a drone.
it_module tune_desert_caravan() {
    score s;
    enum { lead, flute, pad, pad_b, pad_c, drone, bass, doum, tek, riq, control, channels };
    score_setup(s, "Desert Caravan", 96, 6, 4, 4, channels);
    rng r(606);
    it_instrument plain;
    int oud = score_instrument(s, synth_pluck("oud", 0.996, 1.1, r), plain);
    it_instrument ins;
    ins.volume = envelope_adsr(10, 10, 48, 16);
    it_sample ney = synth_organ("ney flute", {1.0, 0.25, 0.08, 0.03});
    ney.vibrato_speed = 20;
    ney.vibrato_depth = 6;
    ney.vibrato_rate = 24;
    int flutes = score_instrument(s, ney, ins);
    ins.nna = it_nna::note_off;
    ins.volume = envelope_adsr(50, 0, 64, 60);
    int strings = score_instrument(s, synth_ensemble("strings", wave::saw, 12, 3, 1), ins);
    ins.volume = envelope_adsr(30, 0, 64, 40);
    int hum = score_instrument(s, synth_organ("drone", {1.0, 0.5, 0.35, 0.2, 0.1}), ins);
    ins.nna = it_nna::cut;
    ins.volume = envelope_adsr(0, 20, 30, 8);
    int bass_pluck = score_instrument(s, synth_wave("bass", wave::triangle, 30), ins);
    int dm = score_instrument(s, synth_tom("doum", 88, 0.18, r), plain);
    int tk = score_instrument(s, synth_tom("tek", 320, 0.05, r), plain);
    int rq = score_instrument(s, synth_hat("riq", 0.04, r), plain);

    score_sections(s, {{"intro", 4, "E F E E"},
                       {"a", 8, "E F E E Am Dm F E"},
                       {"b", 8, "Am Am Dm Dm F F E E"},
                       {"a", 8, "E F E E Am Dm F E"},
                       {"c", 8, "Dm Am F E Dm Am F E"},
                       {"outro", 4, "E F E E"}});
    key k{64, phrygian_dominant_scale};
    s.module.channel_pan = {22, 42, 18, 32, 46, 32, 32, 30, 38, 34, 32};
    melody_style st;
    st.low = 64;
    st.high = 84;
    st.volume = 50;
    st.rhythms = {{4, 4, 4, 4}, {2, 2, 4, 4, 4}, {6, 2, 4, 4}, {4, 2, 2, 8}, {2, 2, 2, 2, 8}};
    st.cadences = {{4, 12}, {8, 8}, {2, 2, 12}};
    st.slide = 0x30;
    st.slide_chance = 0.3;

    std::vector<drum_line> maqsum = {{doum, dm, "X.......X.......", 56},
                                     {tek, tk, "..x...x.....x...", 40},
                                     {riq, rq, "x.o.x.o.x.o.x.oo", 26}};
    std::vector<drum_line> fill = {{tek, tk, "..x...x.x.x.xxxx", 40}};
    s.note(drone, 0, 40, hum, 36);  // E-3, under the whole piece
    s.off(drone, s.rows - s.bar() / 2);
    part_drums(s, maqsum, fill, 4, 0, s.rows - s.bar());
    for (const placed_section& p : s.sections)
        if (p.name != "intro" && p.name != "outro")
            part_bass(s, bass, bass_pluck, 46, p.from, p.to, bass_style::syncopated, 40, r);
    for (int i = 0; i < 2; i++) {
        const placed_section& a = score_section(s, "a", i);
        part_melody(s, lead, oud, k, st, a.from, a.to, i ? "AC" : "AB", 4, r);
    }
    const placed_section& b = score_section(s, "b");
    melody_style fl = st;
    fl.low = 71;
    fl.high = 88;
    fl.volume = 44;
    fl.rhythms = {{8, 8}, {12, 4}, {4, 4, 8}, {6, 2, 8}};
    fl.cadences = {{16}, {4, 12}};
    fl.slide = 0x20;
    fl.slide_chance = 0.5;
    part_melody(s, flute, flutes, k, fl, b.from, b.to, "DE", 4, r);
    part_pad(s, pad, 3, strings, 28, b.from, b.to, 52, 71);
    const placed_section& c = score_section(s, "c");
    part_pad(s, pad, 3, strings, 32, c.from, c.to, 52, 71);
    part_melody(s, lead, oud, k, st, c.from, c.to, "FA", 4, r);
    part_harmony(s, lead, flute, flutes, k, 2, 30, c.from, c.to);
    const placed_section& out = score_section(s, "outro");
    s.note(lead, out.from, 76, oud, 48);
    s.note(lead, out.from + 2 * s.bar(), 64, oud, 48);
    part_fade(s, control, out.from + s.bar(), out.to);
    return score_finish(s);
}

// Tune 7: a rainy downtempo piece in D dorian, 84 beats a minute: electric
// piano chords, a soft triangle flute, a lazy kick and snare, rain.
it_module tune_quiet_rain() {
    score s;
    enum {
        lead,
        lead_echo,
        keys,
        keys_b,
        keys_c,
        keys_d,
        bass,
        kick,
        snare,
        hat,
        rain,
        control,
        channels
    };
    score_setup(s, "Quiet Rain", 84, 6, 4, 4, channels);
    rng r(707);
    it_instrument ins;
    ins.nna = it_nna::note_off;
    ins.volume = envelope_adsr(0, 40, 36, 20);
    int epiano = score_instrument(s, synth_fm("soft keys", 1.0, 1.2, 0.4, 1.4, 1.6), ins);
    ins.nna = it_nna::cut;
    ins.volume = envelope_adsr(6, 10, 50, 14);
    int flute = score_instrument(s, synth_wave("flute", wave::triangle, 8), ins);
    ins.volume = envelope_adsr(2, 30, 40, 10);
    int sub = score_instrument(s, synth_organ("round bass", {1.0, 0.3, 0.1}), ins);
    ins.volume = envelope_adsr(100, 0, 64, 60);
    int drops = score_instrument(s, synth_noise_pad("rain", 2600, r), ins);
    it_instrument plain;
    int bd = score_instrument(s, synth_kick("soft kick", 120, 48, 0.03, 0.2), plain);
    int sd = score_instrument(s, synth_snare("soft snare", 180, 0.12, 0.6, r), plain);
    int hh = score_instrument(s, synth_hat("hat", 0.03, r), plain);

    const char* a_chords = "Dm9 G9 Cmaj7 Am7 Dm9 G9 Fmaj7 Am7";
    score_sections(s, {{"intro", 4, "Dm9 G9 Dm9 G9"},
                       {"a", 8, a_chords},
                       {"b", 8, "Fmaj7 Em7 Dm9 Cmaj7 Fmaj7 G Am7 Am7"},
                       {"a", 8, a_chords},
                       {"b", 8, "Fmaj7 Em7 Dm9 Cmaj7 Fmaj7 G Am7 Am7"},
                       {"outro", 4, "Dm9 G9 Dm9 Dm9"}});
    key k{62, dorian_scale};
    s.module.channel_pan = {36, 24, 20, 28, 36, 44, 32, 32, 30, 40, 32, 32};
    melody_style st;
    st.low = 67;
    st.high = 86;
    st.volume = 44;
    st.rhythms = {{6, 2, 8}, {4, 4, 8}, {-4, 2, 2, 8}, {8, 4, 4}, {3, 3, 2, 8}};
    st.cadences = {{16}, {4, 12}, {2, 2, 12}};
    st.vibrato = 0x24;
    st.vibrato_after = 4;

    std::vector<drum_line> beat = {{kick, bd, "X......x..X.....", 56},
                                   {snare, sd, "....X.......X..o", 44},
                                   {hat, hh, "x.o.x.o.x.o.x.ox", 26}};
    std::vector<drum_line> fill = {{kick, bd, "X......x..X..x..", 56}};
    s.note(rain, 0, 60, drops, 14);
    s.off(rain, s.rows - s.bar());
    for (const placed_section& p : s.sections) {
        bool edge = p.name == "intro" || p.name == "outro";
        part_pad(s, keys, 4, epiano, 30, p.from, p.to, 57, 77, edge ? "" : "x.......o.....x.");
        part_bass(s, bass, sub, 50, p.from + (p.name == "intro" ? 2 * s.bar() : 0),
                  p.to - (p.name == "outro" ? s.bar() : 0),
                  edge ? bass_style::held : bass_style::syncopated, 38, r);
        if (!edge) part_drums(s, beat, fill, 4, p.from, p.to);
    }
    for (int i = 0; i < 2; i++) {
        const placed_section& a = score_section(s, "a", i);
        const placed_section& b = score_section(s, "b", i);
        part_melody(s, lead, flute, k, st, a.from, a.to, "AB", 4, r);
        part_melody(s, lead, flute, k, st, b.from, b.to, i ? "CE" : "CD", 4, r);
    }
    part_echo(s, lead, lead_echo, 6, 35, 0, s.rows);
    part_fade(s, control, score_section(s, "outro").from + s.bar(), s.rows);
    return score_finish(s);
}

// Tune 8: a night drive in F sharp minor, 104 beats a minute: a pulsing
// sixteenth saw bass, wide pads, a gliding square lead, big snare, tom fills.
it_module tune_midnight_highway() {
    score s;
    enum {
        lead,
        lead_echo,
        pad,
        pad_b,
        pad_c,
        arp,
        bass,
        kick,
        snare,
        hat,
        toms,
        control,
        channels
    };
    score_setup(s, "Midnight Highway", 104, 6, 4, 4, channels);
    rng r(808);
    it_instrument ins;
    ins.volume = envelope_adsr(0, 3, 36, 2);
    int saw = score_instrument(s, synth_wave("pulse bass", wave::saw, 40), ins);
    ins.nna = it_nna::note_off;
    ins.volume = envelope_adsr(30, 20, 44, 40);
    int wide = score_instrument(s, synth_ensemble("wide pad", wave::saw, 14, 4, 1), ins);
    ins.nna = it_nna::cut;
    ins.volume = envelope_adsr(0, 16, 48, 12);
    int square = score_instrument(s, synth_wave("square lead", wave::square, 20), ins);
    ins.volume = envelope_decay(8);
    int blip = score_instrument(s, synth_wave("arp pulse", wave::pulse12, 16), ins);
    it_instrument plain;
    int bd = score_instrument(s, synth_kick("kick", 150, 42, 0.035, 0.16), plain);
    int sd = score_instrument(s, synth_snare("big snare", 170, 0.2, 0.7, r), plain);
    int hh = score_instrument(s, synth_hat("hat", 0.03, r), plain);
    int tm = score_instrument(s, synth_tom("tom", 140, 0.2, r), plain);

    const char* verse = "F#m D A E";
    const char* chorus = "D E C#m F#m D E F#m F#m";
    score_sections(s, {{"intro", 4, verse},
                       {"verse", 8, verse},
                       {"chorus", 8, chorus},
                       {"verse", 8, verse},
                       {"chorus", 8, chorus},
                       {"bridge", 8, "Bm D A E Bm D E E"},
                       {"chorus", 8, chorus},
                       {"outro", 4, "F#m D F#m F#m"}});
    key k{66, minor_scale};
    s.module.channel_pan = {32, 40, 18, 32, 46, 26, 32, 32, 32, 38, 28, 32};
    melody_style st;
    st.low = 66;
    st.high = 86;
    st.volume = 44;
    st.rhythms = {{4, 4, 4, 4}, {6, 2, 8}, {2, 2, 4, 4, 4}, {4, 4, 2, 2, 4}, {-4, 4, 4, 4}};
    st.cadences = {{4, 12}, {8, 8}, {16}};
    st.vibrato = 0x46;
    st.vibrato_after = 6;
    st.slide = 0x20;
    st.slide_chance = 0.4;

    std::vector<drum_line> groove = {{kick, bd, "X.......X.x.....", 60},
                                     {snare, sd, "....X.......X...", 52},
                                     {hat, hh, "x.x.x.x.x.x.x.x.", 28}};
    // Toms fall across the fill bar, the tom note's pitch stepping down.
    std::vector<drum_line> fill = {{snare, sd, "....X.......X...", 52}};
    for (const placed_section& p : s.sections) {
        bool edge = p.name == "intro" || p.name == "outro";
        part_pad(s, pad, 3, wide, 34, p.from, p.to, 54, 73);
        part_bass(s, bass, saw, edge ? 40 : 48, p.from, p.to - (p.name == "outro" ? s.bar() : 0),
                  bass_style::pulse, 42, r);
        if (!edge) {
            part_drums(s, groove, fill, 8, p.from, p.to);
            for (int b = p.from + 7 * s.bar(); b < p.to; b += 8 * s.bar())
                for (int i = 0; i < 4; i++) s.note(toms, b + 8 + 2 * i, 64 - 3 * i, tm, 48);
        }
        if (p.name == "chorus" || p.name == "bridge")
            part_arp(s, arp, blip, 22, p.from, p.to, 78, "0123", 1);
    }
    part_drums(s, {{hat, hh, "x.x.x.x.x.x.x.x.", 24}}, {}, 0, 0, 4 * s.bar());
    int chorus_count = 0, verse_count = 0;
    for (const placed_section& p : s.sections) {
        if (p.name == "verse")
            part_melody(s, lead, square, k, st, p.from, p.to, verse_count++ ? "AC" : "AB", 4, r);
        if (p.name == "chorus") {
            melody_style high = st;
            high.low = 73;
            high.high = 90;
            part_melody(s, lead, square, k, high, p.from, p.to, chorus_count++ == 1 ? "DF" : "DE",
                        4, r);
        }
        if (p.name == "bridge") part_melody(s, lead, square, k, st, p.from, p.to, "GH", 4, r);
    }
    part_echo(s, lead, lead_echo, 3, 40, 0, s.rows);
    part_fade(s, control, score_section(s, "outro").from + s.bar(), s.rows);
    return score_finish(s);
}
