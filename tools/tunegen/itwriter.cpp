// tools/tunegen/itwriter.cpp -- writes an it_module as Impulse Tracker bytes.
//
// File layout: the 192-byte header, the order list (closed by 255), the offset
// tables of instruments, samples and patterns, then the 554-byte instrument
// headers, the 80-byte sample headers, the packed patterns and last the sample
// data. Every multi-byte field is written little-endian, byte by byte.
#include "tools/tunegen/itwriter.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr uint16_t format_version = 0x0214;
constexpr int header_size = 192;
constexpr int instrument_size = 554;
constexpr int sample_header_size = 80;
constexpr int max_channels = 64;

// Header flags: stereo, instruments, linear slides.
constexpr uint16_t flag_stereo = 1, flag_instruments = 4, flag_linear = 8;
// Sample flags: data present, 16-bit, loop.
constexpr uint8_t smp_present = 1, smp_16bit = 2, smp_loop = 16;

struct bytes {
    std::vector<uint8_t> v;
    void u8(unsigned x) { v.push_back(static_cast<uint8_t>(x)); }
    void u16(unsigned x) {
        u8(x & 0xff);
        u8((x >> 8) & 0xff);
    }
    void u32(uint32_t x) {
        u16(x & 0xffff);
        u16(x >> 16);
    }
    void text(const std::string& s, size_t field) {
        if (s.size() >= field) tunegen_fail("name \"%s\" is longer than %zu", s.c_str(), field - 1);
        for (size_t i = 0; i < field; i++) u8(i < s.size() ? static_cast<uint8_t>(s[i]) : 0);
    }
    void tag(const char* t) {
        for (int i = 0; i < 4; i++) u8(static_cast<uint8_t>(t[i]));
    }
    void put_u32(size_t at, uint32_t x) {
        for (int i = 0; i < 4; i++) v[at + i] = static_cast<uint8_t>(x >> (8 * i));
    }
};

void check_module(const it_module& m) {
    if (m.orders.empty() || m.orders.size() > 255)
        tunegen_fail("%s: bad order count", m.title.c_str());
    if (m.patterns.size() > 200) tunegen_fail("%s: more than 200 patterns", m.title.c_str());
    if (m.instruments.size() > 99 || m.samples.size() > 99)
        tunegen_fail("%s: more than 99 instruments or samples", m.title.c_str());
    for (uint8_t o : m.orders)
        if (o >= m.patterns.size()) tunegen_fail("%s: order names pattern %u", m.title.c_str(), o);
    for (const it_pattern& p : m.patterns) {
        if (p.rows < 32 || p.rows > 200 || p.channels < 1 || p.channels > max_channels ||
            p.cells.size() != static_cast<size_t>(p.rows * p.channels))
            tunegen_fail("%s: bad pattern shape", m.title.c_str());
    }
    for (const it_sample& s : m.samples) {
        if (s.loop && (s.loop_begin >= s.loop_end || s.loop_end > s.data.size()))
            tunegen_fail("%s: sample %s has a bad loop", m.title.c_str(), s.name.c_str());
    }
}

void write_header(bytes& out, const it_module& m, int channels) {
    out.tag("IMPM");
    out.text(m.title, 26);
    out.u8(m.rows_per_beat);
    out.u8(m.rows_per_bar);
    out.u16(static_cast<unsigned>(m.orders.size() + 1));
    out.u16(static_cast<unsigned>(m.instruments.size()));
    out.u16(static_cast<unsigned>(m.samples.size()));
    out.u16(static_cast<unsigned>(m.patterns.size()));
    out.u16(format_version);
    out.u16(format_version);
    out.u16(flag_stereo | flag_instruments | flag_linear);
    out.u16(0x0004);  // special: the row highlights above are meant
    out.u8(m.global_volume);
    out.u8(m.mix_volume);
    out.u8(m.speed);
    out.u8(m.tempo);
    out.u8(m.separation);
    out.u8(0);   // pitch wheel depth
    out.u16(0);  // no message
    out.u32(0);
    out.u32(0);
    // Channels past the used ones are switched off (128 added to the pan).
    for (int c = 0; c < max_channels; c++) {
        bool used = c < channels;
        uint8_t pan = used && c < static_cast<int>(m.channel_pan.size()) ? m.channel_pan[c] : 32;
        out.u8(used ? pan : 128 + 32);
    }
    for (int c = 0; c < max_channels; c++)
        out.u8(c < static_cast<int>(m.channel_volume.size()) ? m.channel_volume[c] : 64);
}

void write_envelope(bytes& out, const it_envelope& e) {
    bool on = !e.nodes.empty();
    uint8_t flags = on ? 1 : 0;
    if (on && e.loop_begin >= 0) flags |= 2;
    if (on && e.sustain_begin >= 0) flags |= 4;
    out.u8(flags);
    // An unused envelope still carries two nodes, as trackers save it.
    std::vector<it_envelope_node> nodes =
        on ? e.nodes : std::vector<it_envelope_node>{{0, 0}, {100, 0}};
    if (nodes.size() > 25) tunegen_fail("envelope with more than 25 nodes");
    out.u8(static_cast<unsigned>(nodes.size()));
    out.u8(e.loop_begin >= 0 ? e.loop_begin : 0);
    out.u8(e.loop_end >= 0 ? e.loop_end : 0);
    out.u8(e.sustain_begin >= 0 ? e.sustain_begin : 0);
    out.u8(e.sustain_end >= 0 ? e.sustain_end : 0);
    for (size_t i = 0; i < 25; i++) {
        it_envelope_node n = i < nodes.size() ? nodes[i] : it_envelope_node{0, 0};
        out.u8(static_cast<uint8_t>(n.value));
        out.u16(n.tick);
    }
    out.u8(0);
}

void write_instrument(bytes& out, const it_instrument& ins) {
    out.tag("IMPI");
    out.text("", 12);
    out.u8(0);
    out.u8(static_cast<uint8_t>(ins.nna));
    out.u8(0);  // no duplicate check
    out.u8(0);
    out.u16(ins.fadeout);
    out.u8(0);   // pitch-pan separation
    out.u8(60);  // pitch-pan centre C-5
    out.u8(ins.global_volume);
    out.u8(ins.default_pan >= 0 ? ins.default_pan : 128 + 32);
    out.u8(0);  // no random volume
    out.u8(0);
    out.u16(format_version);
    out.u8(1);  // one sample
    out.u8(0);
    out.text(ins.name, 26);
    out.u8(0);  // no filter cutoff
    out.u8(0);  // no resonance
    out.u8(0);  // no MIDI channel
    out.u8(0xff);
    out.u16(0xffff);
    for (int note = 0; note < 120; note++) {
        out.u8(note);
        out.u8(ins.sample);
    }
    write_envelope(out, ins.volume);
    write_envelope(out, it_envelope{});  // panning
    write_envelope(out, it_envelope{});  // pitch
    for (int i = 0; i < 4; i++) out.u8(0);
}

void write_sample_header(bytes& out, const it_sample& s, uint32_t data_offset) {
    out.tag("IMPS");
    out.text("", 12);
    out.u8(0);
    out.u8(s.global_volume);
    uint8_t flags = smp_present | smp_16bit;
    if (s.loop) flags |= smp_loop;
    out.u8(flags);
    out.u8(s.volume);
    out.text(s.name, 26);
    out.u8(1);   // signed data
    out.u8(32);  // no default pan
    out.u32(static_cast<uint32_t>(s.data.size()));
    out.u32(s.loop ? s.loop_begin : 0);
    out.u32(s.loop ? s.loop_end : 0);
    out.u32(s.c5speed);
    out.u32(0);
    out.u32(0);
    out.u32(data_offset);
    out.u8(s.vibrato_speed);
    out.u8(s.vibrato_depth);
    out.u8(s.vibrato_rate);
    out.u8(0);  // sine
}

// Packs one channel's cell: the mask says which fields follow; a field equal
// to the channel's last one in this pattern is flagged instead of repeated,
// and a mask equal to the channel's last mask is not written again.
struct channel_memory {
    int mask = -1;
    it_cell last;
    bool has_note = false, has_ins = false, has_vol = false, has_cmd = false;
};

void pack_cell(bytes& out, int channel, const it_cell& c, channel_memory& mem) {
    uint8_t mask = 0;
    if (c.note >= 0) mask |= mem.has_note && mem.last.note == c.note ? 16 : 1;
    if (c.instrument) mask |= mem.has_ins && mem.last.instrument == c.instrument ? 32 : 2;
    if (c.volume >= 0) mask |= mem.has_vol && mem.last.volume == c.volume ? 64 : 4;
    if (c.command) {
        bool same = mem.has_cmd && mem.last.command == c.command && mem.last.param == c.param;
        mask |= same ? 128 : 8;
    }
    bool new_mask = mask != mem.mask;
    out.u8((channel + 1) | (new_mask ? 128 : 0));
    if (new_mask) out.u8(mask);
    mem.mask = mask;
    if (mask & 1) {
        out.u8(static_cast<unsigned>(c.note));
        mem.last.note = c.note;
        mem.has_note = true;
    }
    if (mask & 2) {
        out.u8(c.instrument);
        mem.last.instrument = c.instrument;
        mem.has_ins = true;
    }
    if (mask & 4) {
        out.u8(static_cast<unsigned>(c.volume));
        mem.last.volume = c.volume;
        mem.has_vol = true;
    }
    if (mask & 8) {
        out.u8(c.command);
        out.u8(c.param);
        mem.last.command = c.command;
        mem.last.param = c.param;
        mem.has_cmd = true;
    }
}

}  // namespace

[[noreturn]] void tunegen_fail(const char* format, ...) {
    va_list args;
    va_start(args, format);
    fputs("tunegen: ", stderr);
    vfprintf(stderr, format, args);
    fputc('\n', stderr);
    va_end(args);
    exit(1);
}

std::vector<uint8_t> it_pack_pattern(const it_pattern& p) {
    bytes data;
    std::vector<channel_memory> memory(p.channels);
    for (int row = 0; row < p.rows; row++) {
        for (int ch = 0; ch < p.channels; ch++) {
            const it_cell& c = p.at(row, ch);
            if (!c.empty()) pack_cell(data, ch, c, memory[ch]);
        }
        data.u8(0);
    }
    if (data.v.size() + 8 > 65535) tunegen_fail("a pattern packs to more than 64 KiB");
    bytes out;
    out.u16(static_cast<unsigned>(data.v.size()));
    out.u16(p.rows);
    out.u32(0);
    out.v.insert(out.v.end(), data.v.begin(), data.v.end());
    return out.v;
}

std::vector<uint8_t> it_write(const it_module& m) {
    check_module(m);
    int channels = 1;
    for (const it_pattern& p : m.patterns)
        if (p.channels > channels) channels = p.channels;

    bytes out;
    write_header(out, m, channels);
    if (out.v.size() != header_size) tunegen_fail("header is %zu bytes", out.v.size());
    for (uint8_t o : m.orders) out.u8(o);
    out.u8(255);
    size_t table = out.v.size();
    size_t entries = m.instruments.size() + m.samples.size() + m.patterns.size();
    for (size_t i = 0; i < entries; i++) out.u32(0);

    size_t slot = table;
    for (const it_instrument& ins : m.instruments) {
        out.put_u32(slot, static_cast<uint32_t>(out.v.size()));
        slot += 4;
        size_t start = out.v.size();
        write_instrument(out, ins);
        if (out.v.size() - start != instrument_size) tunegen_fail("instrument header size");
    }
    // Sample headers point at data that follows the patterns; remember where
    // each header's pointer sits and fill it in once the data's place is known.
    std::vector<size_t> pointer_at;
    for (const it_sample& s : m.samples) {
        out.put_u32(slot, static_cast<uint32_t>(out.v.size()));
        slot += 4;
        pointer_at.push_back(out.v.size() + 0x48);
        write_sample_header(out, s, 0);
        if (out.v.size() - pointer_at.back() + 0x48 != sample_header_size)
            tunegen_fail("sample header size");
    }
    for (const it_pattern& p : m.patterns) {
        out.put_u32(slot, static_cast<uint32_t>(out.v.size()));
        slot += 4;
        std::vector<uint8_t> packed = it_pack_pattern(p);
        out.v.insert(out.v.end(), packed.begin(), packed.end());
    }
    for (size_t i = 0; i < m.samples.size(); i++) {
        out.put_u32(pointer_at[i], static_cast<uint32_t>(out.v.size()));
        for (int16_t x : m.samples[i].data) out.u16(static_cast<uint16_t>(x));
    }
    return out.v;
}
