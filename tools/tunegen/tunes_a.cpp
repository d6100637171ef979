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
    st.rhythms = {{4, 4, 4, 4}, {4, 2, 2, 4, 4}, {6, 2, 4, 4}, {2, 2, 2, 2, 4, 4}, {4, 4, 2, 2, 4}, {-2, 2, 4, 4, 4}};
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
