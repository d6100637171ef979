// tools/tunegen/tunes_a.cpp -- tunes 1 to 4: the chiptune, the ambient piece,
// the electro track and the jazz tune.
#include "tools/tunegen/parts.h"
#include "tools/tunegen/tunes.h"

// Tune 1: a bright chiptune in D major, 140 beats a minute: pulse lead with an
// echo, tracker arpeggio chords, triangle bass, noise drums.
it_module tune_pixel_sunrise() {
    score s;
    enum { lead, echo, chords, arp, bass, kick, snare, hat, control, channels };
    score_setup(s, "Pixel Sunrise", 140, 6, 4, 4, channels);
    rng r(101);
    it_instrument plain;
    it_instrument ins = plain;
    ins.volume = envelope_adsr(0, 10, 44, 8);
    int square = score_instrument(s, synth_wave("square lead", wave::pulse25, 24), ins);
    ins.volume = envelope_adsr(0, 16, 30, 6);
    int pulse = score_instrument(s, synth_wave("thin pulse", wave::pulse12, 20), ins);
    ins.volume = envelope_decay(14);
    int blip = score_instrument(s, synth_wave("blip", wave::square, 16), ins);
    ins.volume = envelope_adsr(0, 6, 56, 4);
    int tri = score_instrument(s, synth_wave("triangle bass", wave::triangle, 40), ins);
    int bd = score_instrument(s, synth_kick("kick", 190, 48, 0.025, 0.09), plain);
    int sd = score_instrument(s, synth_snare("snare", 210, 0.08, 0.75, r), plain);
    int hh = score_instrument(s, synth_hat("hat", 0.025, r), plain);

    score_sections(s, {{"intro", 4, "D A Bm G"},
                       {"verse", 8, "D A Bm G D A G A"},
                       {"chorus", 8, "G A F#m Bm G A D D"},
                       {"verse", 8, "D A Bm G D A G A"},
                       {"chorus", 8, "G A F#m Bm G A D D"},
                       {"bridge", 8, "Em7 A7 F#m7 Bm7 G Gm D A"},
                       {"chorus", 8, "G A F#m Bm G A D D"},
                       {"outro", 4, "D G D D"}});
    key k{62, major_scale};
    s.module.channel_pan = {24, 44, 36, 20, 32, 32, 30, 40, 32};
    melody_style st;
    st.low = 62;
    st.high = 86;
    st.volume = 44;
    st.rhythms = {{4, 4, 4, 4},       {4, 2, 2, 4, 4}, {6, 2, 4, 4},
                  {2, 2, 2, 2, 4, 4}, {4, 4, 2, 2, 4}, {-2, 2, 4, 4, 4}};
    st.cadences = {{4, 4, 8}, {4, 12}, {2, 2, 4, 8}, {6, 2, 8}};
    st.vibrato = 0x44;
    st.vibrato_after = 4;
    st.slide = 0x30;
    st.slide_chance = 0.2;

    std::vector<drum_line> groove = {{kick, bd, "X.......X.x.....", 60},
                                     {snare, sd, "....X.......X...", 52},
                                     {hat, hh, "x.x.x.x.x.x.x.xo", 34}};
    std::vector<drum_line> fill = {{snare, sd, "....X.......XxXX", 52},
                                   {kick, bd, "X.......X.x.X...", 60}};
    const placed_section& intro = score_section(s, "intro");
    part_chip_chords(s, chords, pulse, 36, intro.from, intro.to, 62, "x-x-x-x-x-x-x-x-");
    part_drums(s, {{hat, hh, "x.x.x.x.x.x.x.xo", 30}}, {}, 0, intro.from, intro.to);
    part_bass(s, bass, tri, 50, intro.from + 2 * s.bar(), intro.to, bass_style::eighths, 38, r);
    for (int i = 0; i < 3; i++) {
        const placed_section& v = score_section(s, i < 2 ? "verse" : "bridge", i < 2 ? i : 0);
        part_chip_chords(s, chords, pulse, 34, v.from, v.to, 62, "x-.xx-.xx-.xx-x-");
        part_bass(s, bass, tri, 54, v.from, v.to, bass_style::eighths, 38, r);
        part_drums(s, groove, fill, 4, v.from, v.to);
        part_melody(s, lead, square, k, st, v.from, v.to, i < 2 ? "AB" : "EF", 4, r);
        part_echo(s, lead, echo, 3, 45, v.from, v.to);
    }
    for (int i = 0; i < 3; i++) {
        const placed_section& c = score_section(s, "chorus", i);
        part_arp(s, arp, blip, 30, c.from, c.to, 74, "02130213", 2);
        part_chip_chords(s, chords, pulse, 30, c.from, c.to, 62, "x---x---x---x-x-");
        part_bass(s, bass, tri, 56, c.from, c.to, bass_style::octaves, 38, r);
        part_drums(s, groove, fill, 4, c.from, c.to);
        st.low = 69;
        st.high = 90;
        part_melody(s, lead, square, k, st, c.from, c.to, i == 2 ? "CC" : "CD", 4, r);
        part_harmony(s, lead, echo, pulse, k, -2, 30, c.from, c.to);
        st.low = 62;
        st.high = 86;
    }
    const placed_section& out = score_section(s, "outro");
    part_chip_chords(s, chords, pulse, 34, out.from, out.to - s.bar(), 62, "x-x-x-x-x-x-x-x-");
    part_bass(s, bass, tri, 50, out.from, out.to - 2, bass_style::held, 38, r);
    s.note(lead, out.from, 74, square, 44);
    s.fx(lead, out.from + 4, 'H', 0x44);
    part_fade(s, control, out.from + s.bar(), out.to);
    return score_finish(s);
}

// Tune 2: a slow ambient piece in F lydian, 68 beats a minute: a wide
// detuned pad, FM glass bells with echoes, a deep sine and the sea.
it_module tune_tidal_glass() {
    score s;
    enum { bell, bell_echo, pad, pad_b, pad_c, bass, surf, shaker, control, channels };
    score_setup(s, "Tidal Glass", 68, 6, 4, 4, channels);
    rng r(202);
    it_instrument ins;
    ins.nna = it_nna::note_off;
    ins.volume = envelope_adsr(40, 30, 48, 70);
    int strings = score_instrument(s, synth_ensemble("glass pad", wave::saw, 14, 3, 1), ins);
    ins.volume = envelope_adsr(16, 0, 64, 40);
    int sine = score_instrument(s, synth_wave("deep sine", wave::sine, 1), ins);
    ins.volume = envelope_adsr(80, 0, 64, 90);
    int sea = score_instrument(s, synth_noise_pad("surf", 700, r), ins);
    it_instrument ring;
    ring.nna = it_nna::proceed;  // bells ring on under the next one
    int glass = score_instrument(s, synth_fm("glass bell", 3.5, 2.2, 0.25, 0.7, 1.8), ring);
    int shk = score_instrument(s, synth_shaker("shaker", r), it_instrument{});

    score_sections(s, {{"intro", 4, "Fmaj7 G Fmaj7 G"},
                       {"drift", 8, "Fmaj7 G Am7 Em7 Dm7 G Fmaj7 Cmaj7"},
                       {"tide", 8, "Dm7 Em7 Fmaj7 G Am7 G Fmaj7 Fmaj7"},
                       {"drift", 8, "Fmaj7 G Am7 Em7 Dm7 G Fmaj7 Cmaj7"},
                       {"outro", 4, "Fmaj7 G Fmaj7 Fmaj7"}});
    key k{65, lydian_scale};
    s.module.channel_pan = {20, 46, 22, 32, 42, 32, 32, 36, 32};
    melody_style st;
    st.low = 72;
    st.high = 91;
    st.volume = 40;
    st.rhythms = {{8, 8}, {12, 4}, {4, 4, 8}, {-8, 8}, {6, 2, 8}};
    st.cadences = {{16}, {4, 12}};
    st.leap = 0.35;

    s.note(surf, 0, 60, sea, 16);
    for (int row = 0; row < s.rows - 2 * s.bar(); row += 2)
        s.fx(surf, row, 'D', (row / s.bar()) % 2 ? 0x01 : 0x10);  // the sea swells and falls
    s.off(surf, s.rows - s.bar());
    part_pad(s, pad, 3, strings, 40, 0, s.rows - s.bar(), 53, 72);
    part_bass(s, bass, sine, 46, s.bar(), s.rows - s.bar(), bass_style::held, 36, r);
    for (int i = 0; i < 2; i++) {
        const placed_section& d = score_section(s, "drift", i);
        part_melody(s, bell, glass, k, st, d.from, d.to, i ? "AC" : "AB", 4, r);
    }
    const placed_section& tide = score_section(s, "tide");
    st.low = 77;
    part_melody(s, bell, glass, k, st, tide.from, tide.to, "DE", 4, r);
    part_drums(s, {{shaker, shk, "....o.......o..o", 30}}, {}, 0, tide.from, tide.to);
    part_echo(s, bell, bell_echo, 6, 40, 0, s.rows);
    const placed_section& out = score_section(s, "outro");
    s.note(bell, out.from, 84, glass, 36);
    s.note(bell, out.from + 2 * s.bar(), 77, glass, 32);
    part_fade(s, control, out.from + s.bar(), out.to);
    return score_finish(s);
}

// Tune 3: a driving electro track in A minor, 126 beats a minute: four on the
// floor, a saw bass in octaves, supersaw stabs, a gliding pulse lead, a
// snare build before the second drop.
it_module tune_neon_circuit() {
    score s;
    enum {
        lead,
        lead_echo,
        stab,
        stab_b,
        stab_c,
        arp,
        bass,
        kick,
        clap,
        hat,
        open_hat,
        control,
        channels
    };
    score_setup(s, "Neon Circuit", 126, 6, 4, 4, channels);
    rng r(303);
    it_instrument ins;
    ins.volume = envelope_adsr(0, 8, 40, 3);
    int saw = score_instrument(s, synth_wave("saw bass", wave::saw, 48), ins);
    ins.nna = it_nna::note_off;
    ins.volume = envelope_adsr(0, 8, 34, 8);
    int supersaw = score_instrument(s, synth_ensemble("supersaw", wave::saw, 18, 5, 1), ins);
    ins.volume = envelope_adsr(0, 14, 46, 10);
    int pulse = score_instrument(s, synth_wave("pulse lead", wave::pulse25, 22), ins);
    ins.nna = it_nna::cut;
    ins.volume = envelope_decay(10);
    int pluck = score_instrument(s, synth_wave("arp square", wave::square, 14), ins);
    it_instrument plain;
    int bd = score_instrument(s, synth_kick("kick", 160, 45, 0.04, 0.16), plain);
    int cp = score_instrument(s, synth_clap("clap", r), plain);
    int hh = score_instrument(s, synth_hat("closed hat", 0.02, r), plain);
    int oh = score_instrument(s, synth_hat("open hat", 0.11, r), plain);

    score_sections(s, {{"intro", 8, "Am F C G"},
                       {"verse", 8, "Am F C G"},
                       {"drop", 8, "Am F C G Am F G G"},
                       {"break", 8, "F G Em Am F G Am Am"},
                       {"build", 4, "F G Esus4 E"},
                       {"drop", 8, "Am F C G Am F G G"},
                       {"outro", 8, "Am F C G Am F C Am"}});
    key k{69, minor_scale};
    s.module.channel_pan = {30, 40, 18, 32, 46, 26, 32, 32, 36, 40, 24, 32};
    melody_style st;
    st.low = 64;
    st.high = 84;
    st.volume = 42;
    st.rhythms = {
        {4, 4, 2, 2, 4}, {3, 3, 2, 4, 4}, {2, 2, 4, 2, 2, 4}, {6, 2, 4, 4}, {-2, 2, 2, 2, 4, 4}};
    st.cadences = {{4, 4, 8}, {3, 3, 10}, {2, 2, 12}};
    st.vibrato = 0x34;
    st.slide = 0x40;
    st.slide_chance = 0.35;

    std::vector<drum_line> four = {{kick, bd, "X...X...X...X...", 62},
                                   {hat, hh, "x.xox.xox.xox.xo", 30},
                                   {open_hat, oh, "..x...x...x...x.", 26}};
    std::vector<drum_line> full = four;
    full.push_back({clap, cp, "....X.......X...", 50});
    std::vector<drum_line> fill = {{clap, cp, "....X.......X.XX", 50}};
    const placed_section& intro = score_section(s, "intro");
    part_drums(s, {four[0], four[1]}, {}, 0, intro.from, intro.from + 4 * s.bar());
    part_drums(s, four, {}, 0, intro.from + 4 * s.bar(), intro.to);
    part_bass(s, bass, saw, 48, intro.from, intro.to, bass_style::eighths, 33, r);
    part_arp(s, arp, pluck, 24, intro.from + 4 * s.bar(), intro.to, 69, "0123", 2);
    const placed_section& verse = score_section(s, "verse");
    part_drums(s, full, fill, 4, verse.from, verse.to);
    part_bass(s, bass, saw, 52, verse.from, verse.to, bass_style::eighths, 33, r);
    part_melody(s, lead, pulse, k, st, verse.from, verse.to, "AB", 4, r);
    part_pad(s, stab, 3, supersaw, 30, verse.from, verse.to, 57, 76, "..x=..x=..x=..x=");
    for (int i = 0; i < 2; i++) {
        const placed_section& d = score_section(s, "drop", i);
        part_drums(s, full, fill, 4, d.from, d.to);
        part_bass(s, bass, saw, 54, d.from, d.to, bass_style::octaves, 33, r);
        part_pad(s, stab, 3, supersaw, 34, d.from, d.to, 57, 76, "x.x=..x=x.x=..x=");
        part_arp(s, arp, pluck, 22, d.from, d.to, 76, "02130213", 1);
        st.low = 69;
        st.high = 88;
        part_melody(s, lead, pulse, k, st, d.from, d.to, i ? "CE" : "CD", 4, r);
        part_echo(s, lead, lead_echo, 3, 40, d.from, d.to);
    }
    const placed_section& brk = score_section(s, "break");
    part_pad(s, stab, 3, supersaw, 34, brk.from, brk.to, 57, 76);
    part_arp(s, arp, pluck, 26, brk.from, brk.to, 69, "01230123", 2);
    st.low = 64;
    st.high = 84;
    part_melody(s, lead, pulse, k, st, brk.from, brk.to, "AF", 4, r);
    part_echo(s, lead, lead_echo, 3, 40, brk.from, brk.to);
    part_bass(s, bass, saw, 44, brk.from + 4 * s.bar(), brk.to, bass_style::held, 33, r);
    // The build: the clap doubles its pace each bar over a rising bass.
    const placed_section& build = score_section(s, "build");
    const char* rolls[4] = {"x...x...x...x...", "x.x.x.x.x.x.x.x.", "xxxxxxxxxxxxxxxx",
                            "xxxxxxxxxxxxxxxx"};
    for (int b = 0; b < 4; b++) {
        int at = build.from + b * s.bar();
        part_drums(s, {{clap, cp, rolls[b], 30 + 8 * b}, {hat, hh, "x.x.x.x.x.x.x.x.", 24}}, {}, 0,
                   at, at + s.bar());
    }
    part_bass(s, bass, saw, 50, build.from, build.to, bass_style::pulse, 33, r);
    part_pad(s, stab, 3, supersaw, 30, build.from, build.to, 57, 76);
    const placed_section& out = score_section(s, "outro");
    part_drums(s, four, {}, 0, out.from, out.to);
    part_bass(s, bass, saw, 48, out.from, out.to, bass_style::eighths, 33, r);
    part_arp(s, arp, pluck, 22, out.from, out.to - s.bar(), 69, "0123", 2);
    part_fade(s, control, out.from + 4 * s.bar(), out.to);
    return score_finish(s);
}

// Tune 4: a jazz tune in B flat with a swing feel, 112 beats a minute in
// triplet rows: walking bass, electric piano comping, vibraphone lead, ride.
it_module tune_blue_hour() {
    score s;
    enum { lead, lead_echo, comp, comp_b, comp_c, bass, ride, pedal, brush, control, channels };
    s.bars_per_pattern = 4;
    score_setup(s, "Blue Hour Lounge", 112, 4, 6, 4, channels);
    rng r(404);
    it_instrument ins;
    ins.nna = it_nna::note_off;
    ins.volume = envelope_adsr(0, 30, 40, 12);
    int epiano = score_instrument(s, synth_fm("electric piano", 1.0, 1.6, 0.3, 1.0, 1.4), ins);
    ins.nna = it_nna::proceed;
    ins.volume = it_envelope{};
    int vibes = score_instrument(s, synth_fm("vibraphone", 4.0, 0.9, 0.08, 0.9, 1.4), ins);
    ins.nna = it_nna::cut;
    ins.volume = envelope_adsr(0, 24, 36, 6);
    int upright =
        score_instrument(s, synth_organ("upright bass", {1.0, 0.5, 0.25, 0.12, 0.06}), ins);
    it_instrument plain;
    int rd = score_instrument(s, synth_cymbal("ride", 0.35, r), plain);
    int ph = score_instrument(s, synth_hat("pedal hat", 0.03, r), plain);
    int br = score_instrument(s, synth_snare("brush", 180, 0.06, 0.95, r), plain);

    score_sections(s, {{"intro", 4, "Cm7 F7 Bbmaj7 G7"},
                       {"head", 8, "Cm7 F7 Bbmaj7 Gm7 Cm7 F7 Dm7 G7"},
                       {"bridge", 8, "Ebmaj7 Ebm7 Dm7 G7 Cm7 F7 Bbmaj7 F7"},
                       {"solo", 8, "Cm7 F7 Bbmaj7 Gm7 Ebmaj7 Ab7 Dm7 G7"},
                       {"solo", 8, "Cm7 F7 Dm7 G7 Cm7 F7 Bbmaj7 Bbmaj7"},
                       {"head", 8, "Cm7 F7 Bbmaj7 Gm7 Cm7 F7 Dm7 G7"},
                       {"outro", 4, "Cm7 F7 Bbmaj7 Bbmaj7"}});
    key k{70, major_scale};
    s.module.channel_pan = {40, 22, 20, 28, 36, 32, 44, 36, 26, 32};
    melody_style st;
    st.low = 65;
    st.high = 86;
    st.volume = 46;
    // Swung eighths are four rows and two.
    st.rhythms = {
        {6, 6, 6, 6}, {4, 2, 4, 2, 6, 6}, {12, 4, 2, 6}, {6, 4, 2, 12}, {-6, 4, 2, 4, 2, 6}};
    st.cadences = {{6, 18}, {12, 12}, {4, 2, 18}};
    st.leap = 0.3;

    std::vector<drum_line> swing = {{ride, rd, "X.....x...x.X.....x...x.", 34},
                                    {pedal, ph, "......x...........x.....", 30},
                                    {brush, br, "......o...........o...o.", 34}};
    std::vector<drum_line> fill = {{brush, br, "......o...o.x...o.x.o.x.", 38}};
    const std::string comping = "......x...=.....o.x...=.";
    for (const placed_section& p : s.sections) {
        bool intro = p.name == "intro", outro = p.name == "outro";
        // The last half bar is left to the vibraphone's ring.
        int end = outro ? p.to - s.bar() / 2 : p.to;
        part_bass(s, bass, upright, 52, p.from, end,
                  intro ? bass_style::root_fifth : bass_style::walking, 34, r);
        if (!intro) part_drums(s, swing, fill, 4, p.from, outro ? p.to - s.bar() : p.to);
        part_pad(s, comp, 3, epiano, 34, p.from, end, 58, 77, outro ? "" : comping);
    }
    for (int i = 0; i < 2; i++) {
        const placed_section& h = score_section(s, "head", i);
        part_melody(s, lead, vibes, k, st, h.from, h.to, "AB", 4, r);
    }
    st.rhythms.push_back({4, 2, 4, 2, 4, 2, 4, 2});
    st.rhythms.push_back({2, 2, 2, 6, 4, 2, 6});
    part_melody(s, lead, vibes, k, st, score_section(s, "bridge").from,
                score_section(s, "bridge").to, "CD", 4, r);
    for (int i = 0; i < 2; i++) {
        const placed_section& so = score_section(s, "solo", i);
        part_melody(s, lead, vibes, k, st, so.from, so.to, i ? "GH" : "EF", 4, r);
    }
    part_echo(s, lead, lead_echo, 4, 35, 0, s.rows);
    const placed_section& out = score_section(s, "outro");
    s.note(lead, out.from + 2 * s.bar(), 74, vibes, 44);
    part_ritardando(s, control, out.from, out.to, 112, 80);
    return score_finish(s);
}
