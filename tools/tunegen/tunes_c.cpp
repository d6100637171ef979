// tools/tunegen/tunes_c.cpp -- tunes 9 to 12: the jig, the clockwork
// baroque piece, the lantern festival and the homeward ballad.
#include "tools/tunegen/parts.h"
#include "tools/tunegen/tunes.h"

// Tune 9: a harbour jig in A mixolydian, 6/8 with 174 eighth-rows a minute:
// a flute and a fiddle, strummed plucked chords, bodhran, a bouncing bass.
it_module tune_harbour_jig() {
    score s;
    enum { lead, fiddle, strum, strum_b, strum_c, bass, bodhran, control, channels };
    s.bars_per_pattern = 8;
    score_setup(s, "Harbour Jig", 87, 3, 6, 2, channels);
    rng r(909);
    it_instrument ins;
    ins.volume = envelope_adsr(3, 8, 50, 8);
    it_sample whistle = synth_organ("flute", {1.0, 0.25, 0.06});
    whistle.vibrato_speed = 24;
    whistle.vibrato_depth = 4;
    whistle.vibrato_rate = 40;
    int flute = score_instrument(s, whistle, ins);
    ins.volume = envelope_adsr(2, 6, 46, 8);
    int bow = score_instrument(s, synth_ensemble("fiddle", wave::saw, 12, 2, 1), ins);
    it_instrument ring;
    ring.nna = it_nna::proceed;
    int guitar = score_instrument(s, synth_pluck("guitar", 0.995, 0.9, r), ring);
    ins.volume = envelope_adsr(0, 10, 34, 6);
    int tuba = score_instrument(s, synth_organ("bass", {1.0, 0.5, 0.25}), ins);
    int drum = score_instrument(s, synth_tom("bodhran", 92, 0.12, r), it_instrument{});

    const char* a_chords = "A G A D A G D A";
    const char* b_chords = "D A G A D G Em A";
    score_sections(s, {{"intro", 8, "A G A A D G A A"},
                       {"a", 16, a_chords},
                       {"b", 16, b_chords},
                       {"a", 16, a_chords},
                       {"b", 16, b_chords},
                       {"a", 16, a_chords},
                       {"outro", 8, "D G A A D G A A"}});
    key k{69, mixolydian_scale};
    s.module.channel_pan = {28, 40, 18, 30, 44, 32, 32, 32};
    melody_style st;
    st.low = 69;
    st.high = 90;
    st.volume = 46;
    st.rhythms = {{2, 2, 2, 2, 2, 2}, {4, 2, 4, 2}, {4, 2, 2, 2, 2}, {2, 2, 2, 4, 2}, {6, 2, 2, 2}};
    st.cadences = {{4, 2, 6}, {6, 6}, {2, 2, 2, 6}};
    st.leap = 0.2;

    std::vector<drum_line> jig = {{bodhran, drum, "X.o.x.X.o.x.", 50}};
    std::vector<drum_line> fill = {{bodhran, drum, "X.x.x.XxxXxx", 50}};
    for (const placed_section& p : s.sections) {
        int end = p.name == "outro" ? p.to - 2 * s.bar() : p.to;
        part_pad(s, strum, 3, guitar, 34, p.from, end, 57, 74, "x.o.o.x.o.o.");
        if (p.name != "intro") part_drums(s, jig, fill, 8, p.from, end);
        part_bass(s, bass, tuba, 48, p.from, end, bass_style::root_fifth, 33, r);
    }
    int count = 0;
    for (const placed_section& p : s.sections) {
        if (p.name == "a") {
            part_melody(s, lead, flute, k, st, p.from, p.to, count == 2 ? "AABC" : "AABA", 4, r);
            if (count == 2) part_harmony(s, lead, fiddle, bow, k, -2, 34, p.from, p.to);
            count++;
        }
        if (p.name == "b") {
            part_melody(s, fiddle, bow, k, st, p.from, p.to, count == 1 ? "DDEF" : "DGEF", 4, r);
            part_harmony(s, fiddle, lead, flute, k, 2, 32, p.from, p.to);
        }
    }
    const placed_section& out = score_section(s, "outro");
    part_melody(s, lead, flute, k, st, out.from, out.to - 2 * s.bar(), "H", 6, r);
    // A last strummed A chord with one stroke of the drum, left to ring out.
    int last = out.to - 2 * s.bar();
    s.note(lead, last, 81, flute, 44);
    s.off(lead, last + s.bar());
    s.note(strum, last, 57, guitar, 40);
    s.note(strum_b, last, 64, guitar, 40);
    s.note(strum_c, last, 69, guitar, 40);
    s.note(bodhran, last, 60, drum, 56);
    s.note(bass, last, 45, tuba, 48);
    s.off(bass, last + s.bar());
    return score_finish(s);
}

// Tune 10: a clockwork garden in C minor, 120 beats a minute, in the manner
// of a baroque keyboard piece: harpsichord lines in two voices, an Alberti
// accompaniment, a ticking clock, and a major chord to close.
it_module tune_clockwork_garden() {
    score s;
    enum { upper, lower, alberti, bass, pad, pad_b, pad_c, clock, control, channels };
    score_setup(s, "Clockwork Garden", 120, 6, 4, 4, channels);
    s.module.mix_volume = 72;  // quieter instruments, more mix
    rng r(1010);
    it_instrument ring;
    ring.nna = it_nna::proceed;
    int harpsichord = score_instrument(s, synth_pluck("harpsichord", 0.994, 0.8, r), ring);
    it_instrument ins;
    ins.volume = envelope_adsr(0, 16, 36, 6);
    int cello = score_instrument(s, synth_wave("cello", wave::saw, 30), ins);
    ins.nna = it_nna::note_off;
    ins.volume = envelope_adsr(40, 0, 64, 40);
    int strings = score_instrument(s, synth_ensemble("strings", wave::saw, 12, 3, 1), ins);
    int tick = score_instrument(s, synth_tom("clock", 1400, 0.015, r), it_instrument{});

    const char* a_chords = "Cm Fm G7 Cm Ab Fm G7 Cm";
    const char* circle = "Cm Fm Bb Eb Ab Dm7b5 G7 Cm";
    score_sections(s, {{"intro", 4, "Cm G7 Cm G7"},
                       {"a", 8, a_chords},
                       {"circle", 8, circle},
                       {"a", 8, a_chords},
                       {"relative", 8, "Eb Bb Cm Gm Ab Eb Fm Bb"},
                       {"circle", 8, circle},
                       {"outro", 4, "Fm G7 C C"}});
    key minor{72, harmonic_minor_scale}, relative{75, major_scale}, picardy{72, major_scale};
    s.module.channel_pan = {22, 42, 30, 36, 20, 32, 44, 32, 32};
    melody_style st;
    st.low = 67;
    st.high = 89;
    st.volume = 46;
    st.rhythms = {{2, 2, 2, 2, 2, 2, 2, 2},
                  {4, 2, 2, 4, 4},
                  {2, 2, 4, 2, 2, 4},
                  {4, 4, 4, 4},
                  {2, 2, 2, 2, 4, 4}};
    st.cadences = {{4, 4, 8}, {2, 2, 4, 8}, {4, 12}};
    st.leap = 0.2;

    part_drums(s, {{clock, tick, "x...o...x...o...", 30}}, {}, 0, 0, s.rows - s.bar());
    for (const placed_section& p : s.sections) {
        bool outro = p.name == "outro";
        if (!outro) part_arp(s, alberti, harpsichord, 30, p.from, p.to, 55, "0212", 2);
        part_bass(s, bass, cello, 44, p.from, p.to - (outro ? s.bar() / 2 : 0),
                  bass_style::root_fifth, 36, r);
        if (outro) s.off(bass, p.to - 8);
    }
    int count = 0;
    for (const placed_section& p : s.sections) {
        if (p.name == "a")
            part_melody(s, upper, harpsichord, minor, st, p.from, p.to, count++ ? "AC" : "AB", 4,
                        r);
        if (p.name == "circle") {
            part_melody(s, upper, harpsichord, minor, st, p.from, p.to, "DE", 4, r);
            part_harmony(s, upper, lower, harpsichord, minor, -2, 34, p.from, p.to);
        }
        if (p.name == "relative") {
            part_pad(s, pad, 3, strings, 26, p.from, p.to, 55, 72);
            part_melody(s, upper, harpsichord, relative, st, p.from, p.to, "FG", 4, r);
            part_harmony(s, upper, lower, harpsichord, relative, -5, 32, p.from, p.to);
        }
    }
    const placed_section& out = score_section(s, "outro");
    part_melody(s, upper, harpsichord, minor, st, out.from, out.from + 2 * s.bar(), "H", 2, r);
    part_pad(s, pad, 3, strings, 32, out.from, out.to - 8, 55, 72);
    part_arp(s, alberti, harpsichord, 32, out.from + 2 * s.bar(), out.to - s.bar(), 60, "01234567",
             2);
    s.note(upper, out.to - s.bar(), picardy.note(7), harpsichord, 48);
    s.note(lower, out.to - s.bar(), picardy.note(2), harpsichord, 40);
    part_ritardando(s, control, out.from + 2 * s.bar(), out.to, 120, 92);
    return score_finish(s);
}

// Tune 11: a lantern festival in A flat major pentatonic, 92 beats a minute:
// koto-like plucks, bright bells, a bamboo flute, taiko and woodblock.
it_module tune_lantern_festival() {
    score s;
    enum { lead, bells, flute, pad, pad_b, pad_c, bass, taiko, block, cymbal, control, channels };
    score_setup(s, "Lantern Festival", 92, 6, 4, 4, channels);
    rng r(1111);
    it_instrument ring;
    ring.nna = it_nna::proceed;
    int koto = score_instrument(s, synth_pluck("koto", 0.997, 1.2, r), ring);
    int bell = score_instrument(s, synth_fm("temple bell", 2.0, 1.8, 0.15, 0.6, 1.5), ring);
    it_instrument ins;
    ins.volume = envelope_adsr(8, 10, 50, 16);
    it_sample bamboo = synth_wave("bamboo flute", wave::sine, 1);
    bamboo.vibrato_speed = 18;
    bamboo.vibrato_depth = 8;
    bamboo.vibrato_rate = 20;
    int shakuhachi = score_instrument(s, bamboo, ins);
    ins.nna = it_nna::note_off;
    ins.volume = envelope_adsr(40, 0, 64, 50);
    int soft = score_instrument(s, synth_ensemble("soft pad", wave::triangle, 9, 3, 1), ins);
    ins.nna = it_nna::cut;
    ins.volume = envelope_adsr(0, 20, 40, 10);
    int low = score_instrument(s, synth_organ("bass", {1.0, 0.4, 0.1}), ins);
    it_instrument plain;
    int drum = score_instrument(s, synth_tom("taiko", 62, 0.28, r), plain);
    int wood = score_instrument(s, synth_tom("woodblock", 820, 0.02, r), plain);
    int chime = score_instrument(s, synth_hat("hand cymbal", 0.09, r), plain);

    const char* a_chords = "Ab Fm Db Eb Ab Fm Db Ab";
    const char* b_chords = "Db Eb Cm Fm Db Eb Ab Ab";
    score_sections(s, {{"intro", 4, "Ab Db Ab Eb"},
                       {"a", 8, a_chords},
                       {"b", 8, b_chords},
                       {"a", 8, a_chords},
                       {"b", 8, b_chords},
                       {"outro", 4, "Db Eb Ab Ab"}});
    key k{68, pentatonic_scale};
    s.module.channel_pan = {24, 42, 36, 20, 32, 44, 32, 32, 40, 26, 32};
    melody_style st;
    st.low = 68;
    st.high = 89;
    st.volume = 48;
    st.rhythms = {{4, 4, 4, 4}, {4, 2, 2, 8}, {2, 2, 4, 4, 4}, {6, 2, 4, 4}, {4, 4, 8}};
    st.cadences = {{4, 12}, {8, 8}, {2, 2, 12}};
    st.leap = 0.3;

    std::vector<drum_line> festival = {{taiko, drum, "X.......x.....o.", 58},
                                       {block, wood, "..x...x...x.x...", 30},
                                       {cymbal, chime, "....x.......x...", 24}};
    std::vector<drum_line> fill = {{taiko, drum, "X.......X.x.X.XX", 58}};
    for (const placed_section& p : s.sections) {
        bool edge = p.name == "intro" || p.name == "outro";
        part_pad(s, pad, 3, soft, 28, p.from, p.to - (p.name == "outro" ? 2 : 0), 56, 75);
        part_bass(s, bass, low, 46, p.from, p.to - (p.name == "outro" ? s.bar() : 0),
                  edge ? bass_style::held : bass_style::syncopated, 32, r);
        if (!edge) part_drums(s, festival, fill, 4, p.from, p.to);
    }
    part_drums(s, {{taiko, drum, "X...............", 50}}, {}, 0, 0, 4 * s.bar());
    int count = 0;
    for (const placed_section& p : s.sections) {
        if (p.name == "a") {
            part_melody(s, lead, koto, k, st, p.from, p.to, count ? "AC" : "AB", 4, r);
            part_arp(s, bells, bell, 22, p.from, p.to, 80, "0.1.2.1.", 2);
        }
        if (p.name == "b") {
            melody_style fl = st;
            fl.rhythms = {{8, 8}, {12, 4}, {4, 4, 8}, {6, 2, 8}};
            fl.cadences = {{16}, {4, 12}};
            part_melody(s, flute, shakuhachi, k, fl, p.from, p.to, count ? "DF" : "DE", 4, r);
            part_harmony(s, flute, lead, koto, k, -2, 36, p.from, p.to);
            count++;
        }
    }
    const placed_section& out = score_section(s, "outro");
    s.note(bells, out.from, 80, bell, 40);
    s.note(bells, out.from + s.bar(), 82, bell, 38);
    s.note(lead, out.from + 2 * s.bar(), 80, koto, 48);
    s.note(bells, out.from + 2 * s.bar(), 92, bell, 32);
    part_fade(s, control, out.from + 2 * s.bar(), out.to);
    return score_finish(s);
}

// Tune 12: a homeward ballad in E flat, 80 beats a minute, that lifts into F
// for its last chorus: piano, strings, a warm lead, soft drums in the
// choruses, a slow last bar.
it_module tune_homeward() {
    score s;
    enum {
        lead,
        piano,
        keys,
        keys_b,
        keys_c,
        strings,
        strings_b,
        strings_c,
        bass,
        kick,
        snare,
        hat,
        control,
        channels
    };
    score_setup(s, "Homeward", 80, 6, 4, 4, channels);
    rng r(1212);
    it_instrument ring;
    ring.nna = it_nna::proceed;
    int grand = score_instrument(s, synth_fm("piano", 1.0, 2.2, 0.15, 1.3, 1.6), ring);
    it_instrument ins;
    ins.nna = it_nna::note_off;
    ins.volume = envelope_adsr(50, 0, 64, 60);
    int violins = score_instrument(s, synth_ensemble("strings", wave::saw, 12, 3, 1), ins);
    ins.nna = it_nna::cut;
    ins.volume = envelope_adsr(8, 10, 52, 16);
    int warm = score_instrument(s, synth_ensemble("warm lead", wave::saw, 8, 2, 1), ins);
    ins.volume = envelope_adsr(2, 30, 44, 14);
    int low = score_instrument(s, synth_organ("bass", {1.0, 0.35, 0.12}), ins);
    it_instrument plain;
    int bd = score_instrument(s, synth_kick("kick", 110, 45, 0.03, 0.2), plain);
    int sd = score_instrument(s, synth_snare("snare", 175, 0.16, 0.65, r), plain);
    int hh = score_instrument(s, synth_hat("hat", 0.03, r), plain);

    const char* verse = "Eb Bb Cm Ab Eb Bb Ab Bb";
    const char* chorus = "Ab Bb Gm Cm Ab Bb Eb Eb";
    score_sections(s, {{"intro", 4, "Eb Ab Eb Bb"},
                       {"verse", 8, verse},
                       {"chorus", 8, chorus},
                       {"verse", 8, verse},
                       {"chorus", 8, chorus},
                       {"lift", 4, "Ab Bb Ab C"},
                       {"final", 8, "Bb C Am Dm Bb C F F"},
                       {"outro", 4, "Bb C F F"}});
    key eb{63, major_scale}, f{65, major_scale};
    s.module.channel_pan = {32, 26, 22, 30, 38, 18, 32, 46, 32, 32, 30, 40, 32};
    melody_style st;
    st.low = 63;
    st.high = 82;
    st.volume = 46;
    st.rhythms = {{4, 4, 4, 4}, {6, 2, 8}, {4, 2, 2, 8}, {-4, 4, 4, 4}, {2, 2, 4, 8}};
    st.cadences = {{4, 12}, {16}, {8, 8}};
    st.vibrato = 0x34;
    st.vibrato_after = 6;
    st.slide = 0x18;
    st.slide_chance = 0.25;

    std::vector<drum_line> soft = {{kick, bd, "X.......X.......", 48},
                                   {snare, sd, "....X.......X...", 40},
                                   {hat, hh, "x.o.x.o.x.o.x.o.", 24}};
    std::vector<drum_line> fill = {{snare, sd, "....X.......X.xX", 40}};
    int verses = 0, choruses = 0;
    for (const placed_section& p : s.sections) {
        bool big = p.name == "chorus" || p.name == "final";
        const key& k = p.name == "final" || p.name == "outro" ? f : eb;
        // The outro's chords stop three beats early so their release dies out.
        int end = p.name == "outro" ? p.to - 12 : p.to;
        bool quiet = p.name == "intro" || p.name == "verse" || p.name == "lift";
        if (quiet)
            part_arp(s, piano, grand, 34, p.from, p.to, 51, "01210121", 2);
        else
            part_pad(s, keys, 3, grand, 32, p.from, end, 55, 74,
                     p.name == "outro" ? "x...o...x......." : "x...o...x...o...");
        if (p.name != "intro") part_pad(s, strings, 3, violins, big ? 30 : 24, p.from, end, 55, 77);
        part_bass(s, bass, low, 48, p.from, p.to - (p.name == "outro" ? s.bar() : 0),
                  bass_style::held, 34, r);
        if (big) part_drums(s, soft, fill, 4, p.from, p.to);
        if (p.name == "verse")
            part_melody(s, lead, warm, eb, st, p.from, p.to, verses++ ? "AC" : "AB", 4, r);
        if (big) {
            melody_style high = st;
            high.low = 67;
            high.high = 86;
            part_melody(s, lead, warm, k, high, p.from, p.to, choruses++ ? "DF" : "DE", 4, r);
        }
    }
    const placed_section& out = score_section(s, "outro");
    s.note(lead, out.from, f.note(9), warm, 44);
    s.note(lead, out.from + 2 * s.bar(), f.note(7), warm, 42);
    s.fx(lead, out.from + 2 * s.bar() + 8, 'H', 0x34);
    s.off(lead, out.to - s.bar() / 2);
    part_ritardando(s, control, out.from + 2 * s.bar(), out.to, 80, 60);
    return score_finish(s);
}
