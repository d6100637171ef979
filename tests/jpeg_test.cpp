// The jpeg module's steps on bytes in memory: markers and header segments,
// the Huffman look-ups, the bit reader, block decoding, the inverse DCT and
// the colour conversion.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "pictures/jpeg_internal.h"
#include "platform/fake/fake.h"
#include "tests/fatal.h"
#include "tests/jpeg_files.h"

using namespace jpeg;

namespace {

bytes join(std::initializer_list<bytes> parts) {
    bytes out;
    for (const bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

const bytes soi = {0xFF, 0xD8};
const bytes eoi = {0xFF, 0xD9};

bytes text(const std::string& s) {
    return bytes(s.begin(), s.end());
}

class Jpeg : public ::testing::Test {
  protected:
    void SetUp() override { fake::reset(); }

    // Makes data the file image, read from its start.
    void feed(bytes data) {
        image = std::move(data);
        jpeg_data = image.data();
        jpeg_size = int32_t(image.size());
        jpeg_pos = 0;
        bit_buf = 0;
        bit_cnt = 0;
    }

    bytes image;
};

// --- markers and segments ---

TEST_F(Jpeg, MarkersSkipFillBytesAndStuffedPairs) {
    feed({0xFF, 0xFF, 0xFF, 0xD8, 0xFF, 0x00, 0xFF, 0xC4, 0xFF, 0xE1});
    EXPECT_EQ(get_marker(), 0xD8);
    EXPECT_EQ(jpeg_pos, 4);
    EXPECT_EQ(get_marker(), 0xC4);  // after the pair 0xFF 0x00, 0xFF starts again
    EXPECT_EQ(jpeg_pos, 8);
    EXPECT_EQ(get_marker(), 0xE1);
    EXPECT_FATAL(get_1(), "jpeg.get_1: unexpected end of jpeg file");

    feed({0x00, 0xFF, 0xD8});
    EXPECT_FATAL(get_marker(), "jpeg.get_marker: garbage data between markers");
    feed({0xFF, 0x00, 0x12, 0xFF, 0xD8});
    EXPECT_FATAL(get_marker(), "jpeg.get_marker: garbage data between markers");
    feed({0xFF, 0xFF});
    EXPECT_FATAL(get_marker(), "jpeg.get_1: unexpected end of jpeg file");
}

TEST_F(Jpeg, SegmentLengthsMustLeaveTwoBytesAfterThem) {
    // A 4-byte segment: length 6, then the payload.
    feed({0x00, 0x06, 1, 2, 3, 4, 0xFF, 0xD9});
    EXPECT_EQ(get_len(), 4);
    EXPECT_EQ(jpeg_pos, 2);
    feed({0x00, 0x06, 1, 2, 3, 4, 0xFF});
    EXPECT_FATAL(get_len(), "jpeg.get_len: marker exceeds file");
    feed({0x00, 0x06, 1, 2, 3, 4});  // ends exactly at the file's last byte
    EXPECT_FATAL(get_len(), "jpeg.get_len: marker exceeds file");
    feed({0x00});
    EXPECT_FATAL(get_len(), "jpeg.get_1: unexpected end of jpeg file");
}

// A complete header of a grey or a colour file: everything up to the scan.
bytes good_header(int32_t comps, bytes before_frame = {}) {
    std::vector<uint8_t> factors =
        comps == 1 ? std::vector<uint8_t>{0x11} : std::vector<uint8_t>{0x22, 0x11, 0x11};
    return join({soi, jfif_app0(), before_frame, flat_tables(comps), frame_header(17, 9, factors),
                 scan_header(comps)});
}

TEST_F(Jpeg, AHeaderIsReadUpToTheScanData) {
    bytes comment = segment(0xFE, text("made by hand"));
    bytes header = join({{0xFF, 0xFF},
                         soi,
                         {0xFF, 0xD3},
                         soi,
                         segment(0xE0, {'J', 'F', 'I', 'F', 0, 1, 2, 0, 0, 1, 0, 1, 0, 0}),
                         comment,
                         flat_tables(3),
                         frame_header(640, 2, {0x22, 0x11, 0x11}, 8, 0xC1),
                         scan_header(3)});
    feed(join({header, {0x12, 0x34}}));
    read_header();
    EXPECT_EQ(jpeg_pos, int32_t(header.size()));
    EXPECT_EQ(frame_width, 640);
    EXPECT_EQ(frame_height, 2);
    EXPECT_EQ(frame_comps, 3);
    EXPECT_EQ(comp[0].id, 1);
    EXPECT_EQ(comp[0].h, 2);
    EXPECT_EQ(comp[0].v, 2);
    EXPECT_EQ(comp[2].h, 1);
    EXPECT_EQ(comp[2].tq, 1);
    EXPECT_EQ(dc_huf[1].bits[3], 5);
    EXPECT_EQ(dc_huf[1].huffval[11], 11);
    EXPECT_EQ(ac_huf[1].bits[1], 1);
    EXPECT_EQ(quant[1][63], 8);
}

TEST_F(Jpeg, QuantisationTablesAreStoredInNaturalOrder) {
    bytes dqt = {1};
    for (int32_t i = 0; i < 64; ++i) dqt.push_back(uint8_t(100 + i));
    feed(join({segment(0xDB, join({{0}, bytes(64, 7), dqt})), {0xFF, 0xD9}}));
    jpeg_pos = 2;
    get_dqt();
    EXPECT_EQ(quant[0][5], 7);
    EXPECT_EQ(quant[1][0], 100);
    EXPECT_EQ(quant[1][1], 101);   // zig-zag 1 is row 0, column 1
    EXPECT_EQ(quant[1][8], 102);   // zig-zag 2 is row 1, column 0
    EXPECT_EQ(quant[1][16], 103);  // zig-zag 3 is row 2, column 0
    EXPECT_EQ(quant[1][63], 163);
}

struct refusal {
    const char* what;
    bytes file;
    const char* message;
    bool ends_here = false;  // otherwise an end marker follows
};

bytes dht(std::initializer_list<uint8_t> payload) {
    return segment(0xC4, bytes(payload));
}

std::vector<refusal> header_refusals() {
    const bytes tables = flat_tables(3);
    const bytes sof = frame_header(17, 9, {0x22, 0x11, 0x11});
    const bytes sos = scan_header(3);
    bytes thumbnail = {'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 1, 1, 9, 9, 9};
    bytes short_dht(17, 0);
    short_dht[9] = 18;  // 18 codes of length 9 in a segment with room for none
    bytes too_many(17, 0);
    too_many[0] = 0x11;
    too_many[9] = 255;
    too_many[10] = 255;
    bytes long_sof = {8, 0, 9, 0, 17, 1, 1, 0x11, 0, 0};
    return {
        {"progressive", join({soi, tables, frame_header(17, 9, {0x22, 0x11, 0x11}, 8, 0xC2)}),
         "jpeg.read_header: unsupported jpeg encoding"},
        {"lossless", join({soi, segment(0xC3, {})}), "jpeg.read_header: unsupported jpeg encoding"},
        {"arithmetic", join({soi, segment(0xC9, {})}),
         "jpeg.read_header: unsupported jpeg encoding"},
        {"hierarchical", join({soi, segment(0xCF, {})}),
         "jpeg.read_header: unsupported jpeg encoding"},
        {"DAC", join({soi, segment(0xCC, {0, 0})}), "jpeg.read_header: DAC marker not supported"},
        {"DRI", join({soi, segment(0xDD, {0, 4})}), "jpeg.read_header: DRI marker not supported"},
        {"APP1", join({soi, segment(0xE1, text("Exif"))}),
         "jpeg.read_header: unsupported APP# marker"},
        {"APP14", join({soi, segment(0xEE, text("Adobe"))}),
         "jpeg.read_header: unsupported APP# marker"},
        {"APP15", join({soi, segment(0xEF, {})}), "jpeg.read_header: unsupported APP# marker"},
        {"EOI first", join({soi, tables, sof}), "jpeg.read_header: header only jpeg file"},
        {"marker 0x01", join({soi, {0xFF, 0x01}}),
         "jpeg.read_header: unknown or unexpected marker: 0x02X"},
        {"DNL", join({soi, segment(0xDC, {0, 9})}),
         "jpeg.read_header: unknown or unexpected marker: 0x02X"},
        {"marker 0xF0", join({soi, segment(0xF0, {})}),
         "jpeg.read_header: unknown or unexpected marker: 0x02X"},
        {"JFIF thumbnail", join({soi, segment(0xE0, thumbnail)}),
         "jpeg.get_jfif: missized JFIF marker"},
        {"JFXX", join({soi, segment(0xE0, {'J', 'F', 'X', 'X', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0})}),
         "jpeg.get_jfif: invalid JFIF marker"},
        {"JFIF 1.03", join({soi, jfif_app0(1, 3)}), "jpeg.get_jfif: unsupported JFIF version"},
        {"JFIF 2.00", join({soi, jfif_app0(2, 0)}), "jpeg.get_jfif: unsupported JFIF version"},
        {"DHT class 0x02", join({soi, dht({0x02, 1})}), "jpeg.get_dht: unsupported huffman table"},
        {"DHT class 0x20", join({soi, dht({0x20, 1})}), "jpeg.get_dht: unsupported huffman table"},
        {"DHT past its segment", join({soi, segment(0xC4, short_dht), bytes(18, 1)}),
         "jpeg.get_dht: huffman table overrun"},
        {"DHT of 510 values", join({soi, segment(0xC4, join({too_many, bytes(510, 1)}))}),
         "jpeg.get_dht: huffman table overrun"},
        {"DQT table 2", join({soi, segment(0xDB, join({{2}, bytes(64, 1)}))}),
         "jpeg.get_dqt: too many quantization tables"},
        {"DQT 16-bit table 0", join({soi, segment(0xDB, join({{0x10}, bytes(128, 1)}))}),
         "jpeg.get_dqt: too many quantization tables"},
        {"12-bit samples", join({soi, frame_header(17, 9, {0x22, 0x11, 0x11}, 12)}),
         "jpeg.get_sof: only 8 bit channels are supported"},
        {"height 0", join({soi, frame_header(17, 0, {0x11})}),
         "jpeg.get_sof: invalid image dimensions"},
        {"width 0", join({soi, frame_header(0, 9, {0x11})}),
         "jpeg.get_sof: invalid image dimensions"},
        {"four components", join({soi, frame_header(17, 9, {0x22, 0x11, 0x11, 0x11})}),
         "jpeg.get_sof: only grayscale or rgb jpegs are supported"},
        {"two components", join({soi, frame_header(17, 9, {0x11, 0x11})}),
         "jpeg.get_sof: only grayscale or rgb jpegs are supported"},
        {"SOF one byte long", join({soi, segment(0xC0, long_sof)}),
         "jpeg.get_sof: marker size mismatch"},
        {"segment to the last byte", join({soi, segment(0xFE, {1, 2, 3})}),
         "jpeg.get_len: marker exceeds file", true},
        {"cut inside a table", join({soi, {0xFF, 0xDB, 0x00}}),
         "jpeg.get_1: unexpected end of jpeg file", true},
        {"no frame", join({soi, tables, sos}), "jpeg.read_header: missing frame header"},
        {"no quantisation tables",
         join({soi, dht({0x00, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 7}), sof, sos}),
         "jpeg.read_header: missing quantization table"},
        {"no Huffman tables",
         join({soi, segment(0xDB, join({{0}, bytes(64, 1), {1}, bytes(64, 1)})), sof, sos}),
         "jpeg.read_header: missing huffman table"},
    };
}

TEST_F(Jpeg, HeadersOutsideTheSubsetAreRefused) {
    for (const refusal& c : header_refusals()) {
        SCOPED_TRACE(c.what);
        feed(c.ends_here ? c.file : join({c.file, eoi}));
        EXPECT_FATAL(read_header(), c.message);
    }
}

TEST_F(Jpeg, AColourScanNeedsBothSetsOfTables) {
    // A grey file's tables (set 0 only) before a colour frame.
    bytes file =
        join({soi, flat_tables(1), frame_header(16, 16, {0x22, 0x11, 0x11}), scan_header(3), eoi});
    feed(file);
    EXPECT_FATAL(read_header(), "jpeg.read_header: missing quantization table");
    bytes dqt = segment(0xDB, join({{0}, bytes(64, 1), {1}, bytes(64, 1)}));
    feed(join(
        {soi, dqt, flat_tables(1), frame_header(16, 16, {0x22, 0x11, 0x11}), scan_header(3), eoi}));
    EXPECT_FATAL(read_header(), "jpeg.read_header: missing huffman table");
    // The same tables serve a grey frame.
    feed(join({soi, flat_tables(1), frame_header(16, 16, {0x11}), scan_header(1), eoi}));
    read_header();
}

TEST_F(Jpeg, TablesOfAnEarlierFileDoNotCount) {
    feed(join({good_header(3), eoi}));
    read_header();
    // Every table is still in place, but this file defined none of them.
    feed(join({soi, frame_header(17, 9, {0x22, 0x11, 0x11}), scan_header(3), eoi}));
    EXPECT_FATAL(read_header(), "jpeg.read_header: missing quantization table");
}

// --- Huffman look-ups ---

huf_table table_of(std::vector<std::pair<int32_t, int32_t>> counts,
                   std::vector<uint8_t> symbols = {}) {
    huf_table t{};
    for (auto [length, count] : counts) t.bits[length] = uint8_t(count);
    for (size_t i = 0; i < symbols.size(); ++i) t.huffval[i] = symbols[i];
    return t;
}

TEST_F(Jpeg, TwoOneBitCodesFillTheCodeSpace) {
    huf_table t = table_of({{1, 2}}, {0x21, 0x42});
    create_huf(t);
    EXPECT_EQ(t.code_start[1], 0);
    for (int32_t l = 2; l <= 17; ++l) EXPECT_EQ(t.code_start[l], 65536) << l;
    for (int32_t i = 0; i < 256; ++i) {
        EXPECT_EQ(t.fast_len[i], 1) << i;
        EXPECT_EQ(t.fast_sym[i], i < 128 ? 0x21 : 0x42) << i;
    }
    huf_table three = table_of({{1, 3}});
    EXPECT_FATAL(create_huf(three), "jpeg.create_huf: huffman table corrupted");
    huf_table one_over = table_of({{1, 2}, {16, 1}});
    EXPECT_FATAL(create_huf(one_over), "jpeg.create_huf: huffman table corrupted");
}

TEST_F(Jpeg, ShortCodesFillTheLookUpAndLongOnesAreLeftToTheSearch) {
    // Codes 00, 010, 011, 10 0000 000 (9 bits) and up: lengths 2, 3, 3, 9.
    huf_table t = table_of({{2, 1}, {3, 2}, {9, 1}}, {5, 6, 7, 8});
    create_huf(t);
    EXPECT_EQ(t.code_start[2], 0);
    EXPECT_EQ(t.code_start[3], 16384);
    EXPECT_EQ(t.code_start[9], 32768);
    EXPECT_EQ(t.code_start[10], 32768 + 128);
    EXPECT_EQ(t.sym_start[9], 3);
    for (int32_t i = 0; i < 256; ++i) {
        int32_t len = i < 64 ? 2 : i < 128 ? 3 : 0;
        int32_t sym = i < 64 ? 5 : i < 96 ? 6 : i < 128 ? 7 : 0;
        EXPECT_EQ(t.fast_len[i], len) << i;
        EXPECT_EQ(t.fast_sym[i], sym) << i;
    }
}

TEST_F(Jpeg, ARebuiltTableForgetsTheShortCodesOfTheOldOne) {
    huf_table t = table_of({{1, 2}}, {1, 2});
    create_huf(t);
    t = table_of({{2, 1}, {12, 3}}, {3, 4, 5, 6});
    // The look-up still holds the first table's entries until create_huf runs.
    std::memset(t.fast_len, 1, sizeof t.fast_len);
    std::memset(t.fast_sym, 9, sizeof t.fast_sym);
    create_huf(t);
    for (int32_t i = 64; i < 256; ++i) {
        EXPECT_EQ(t.fast_len[i], 0) << i;
        EXPECT_EQ(t.fast_sym[i], 0) << i;
    }
}

// --- bit reader ---

TEST_F(Jpeg, StuffedBytesAreOneDataByteAndMarkersEndTheData) {
    struct stream {
        bytes data;
        uint32_t buf;
        int32_t pos;
    };
    const stream cases[] = {
        {{0xFF, 0x00, 0x12, 0x34, 0x56}, 0xFF123456, 5},
        {{0xFF, 0xFF, 0x00, 0x34}, 0xFF340000, 4},
        {{0xAB, 0xFF, 0xD9, 0x12, 0x34}, 0xAB000000, 5},  // the end marker
        {{0xAB, 0xFF, 0xD3, 0x12}, 0xAB000000, 4},        // a restart marker ends it as well
        {{0xAB, 0xFF, 0xFF}, 0xAB000000, 3},              // the data ends inside a run of 0xFF
        {{}, 0, 0},
    };
    for (const stream& c : cases) {
        feed(c.data);
        fill_bits();
        EXPECT_EQ(bit_cnt, 32);
        EXPECT_EQ(bit_buf, c.buf) << std::hex << c.buf;
        EXPECT_EQ(jpeg_pos, c.pos);
    }
    // After a marker, only zero bits follow, however many are read.
    feed({0x80, 0xFF, 0xD9, 0xFF, 0xFF, 0xFF, 0xFF});
    EXPECT_EQ(get_bits(1), 1u);
    for (int32_t i = 0; i < 10; ++i) EXPECT_EQ(get_bits(16), 0u);
}

TEST_F(Jpeg, TheBitBufferIsToppedUpAByteAtATime) {
    feed(bytes(16, 0x5A));
    bit_cnt = 17;  // one byte makes 25
    fill_bits();
    EXPECT_EQ(bit_cnt, 25);
    EXPECT_EQ(jpeg_pos, 1);
    bit_cnt = 5;
    fill_bits();
    EXPECT_EQ(bit_cnt, 29);
    EXPECT_EQ(jpeg_pos, 4);
    bit_cnt = 25;
    fill_bits();
    EXPECT_EQ(jpeg_pos, 4);
}

TEST_F(Jpeg, BitsAreReadHighestFirstAndExtendedToSignedValues) {
    feed({0b10110011, 0b11110000, 0x12, 0x34, 0x56});
    EXPECT_EQ(get_bits(0), 0u);
    EXPECT_EQ(get_bits(1), 1u);
    EXPECT_EQ(get_bits(3), 0b011u);
    EXPECT_EQ(get_bits(16), 0b0011111100000001u);
    EXPECT_EQ(bit_cnt, 12);
    EXPECT_EQ(get_bits(0), 0u);

    feed({0b01000000});
    EXPECT_EQ(get_signed(1), -1);
    EXPECT_EQ(get_signed(1), 1);
    const int32_t three[8] = {-7, -6, -5, -4, 4, 5, 6, 7};
    for (uint8_t v = 0; v < 8; ++v) {
        feed({uint8_t(v << 5)});
        EXPECT_EQ(get_signed(3), three[v]) << int(v);
    }
    feed({0x00, 0x00});
    EXPECT_EQ(get_signed(16), -65535);
    feed({0xFF, 0x00, 0xFF, 0x00});
    EXPECT_EQ(get_signed(16), 65535);
}

TEST_F(Jpeg, HuffmanSymbolsOfEveryLengthAreDecoded) {
    // Lengths 1 to 15 with one code each and two codes of 16 bits fill the
    // code space: 0, 10, 110, ..., fifteen 1s and a 0, sixteen 1s.
    std::vector<std::pair<int32_t, int32_t>> counts;
    std::vector<uint8_t> symbols;
    for (int32_t l = 1; l <= 16; ++l) counts.push_back({l, l == 16 ? 2 : 1});
    for (uint8_t s = 0; s < 17; ++s) symbols.push_back(uint8_t(100 + s));
    huf_table t = table_of(counts, symbols);
    create_huf(t);
    for (int32_t k = 0; k < 17; ++k) {
        SCOPED_TRACE(k);
        bit_writer w;
        int32_t ones = k < 16 ? k : 16;
        w.put((1u << ones) - 1, ones);
        if (k < 16) w.put(0, 1);
        w.put(0b1010, 4);
        feed(w.finish());
        EXPECT_EQ(get_huf(t), 100 + k);
        EXPECT_EQ(get_bits(4), 0b1010u);  // exactly the code's bits were used
    }
}

TEST_F(Jpeg, BitsThatBeginNoCodeAreRefused) {
    huf_table t = table_of({{2, 1}, {9, 1}}, {1, 2});  // 00 and 010000000
    create_huf(t);
    feed({0b01000000, 0b00000000});
    EXPECT_EQ(get_huf(t), 2);
    feed({0xFF, 0x00, 0xFF, 0x00});
    EXPECT_FATAL(get_huf(t), "jpeg.get_huf: corrupt huffman data");
    feed({0b01000000, 0b10000000});
    EXPECT_FATAL(get_huf(t), "jpeg.get_huf: corrupt huffman data");
    huf_table never_defined{};
    create_huf(never_defined);
    feed({0x00, 0x00, 0x00});
    EXPECT_FATAL(get_huf(never_defined), "jpeg.get_huf: corrupt huffman data");
}

// --- blocks ---

// Tables whose codes are the 8-bit symbol indices: a DC table of sizes 0..17
// and an AC table of the symbols below, so that a block is written byte by byte.
const std::vector<uint8_t> ac_symbols = {0x00, 0xF0, 0x01, 0xF1, 0x35, 0xE1, 0x02};

struct block_tables {
    huf_table dc, ac;
    block_tables() {
        std::vector<uint8_t> sizes;
        for (uint8_t s = 0; s < 18; ++s) sizes.push_back(s);
        dc = table_of({{8, 18}}, sizes);
        ac = table_of({{8, int32_t(ac_symbols.size())}}, ac_symbols);
        create_huf(dc);
        create_huf(ac);
    }
};

uint8_t ac(uint8_t symbol) {
    for (size_t i = 0; i < ac_symbols.size(); ++i)
        if (ac_symbols[i] == symbol) return uint8_t(i);
    return 0xFF;
}

// A block written as bits, and the coefficients it decodes to.
struct block_case {
    const char* what;
    std::vector<std::pair<uint32_t, int32_t>> bits;  // value, count
    std::vector<std::pair<int32_t, int32_t>> coefs;  // natural index, value
};

// Each block decodes to its coefficients, zero elsewhere, and leaves the
// bits after it unread.
void expect_blocks(const huf_table& dc, const huf_table& ac, const std::vector<block_case>& cases) {
    for (const block_case& c : cases) {
        SCOPED_TRACE(c.what);
        bit_writer w;
        for (auto [value, count] : c.bits) w.put(value, count);
        w.put(0xA5, 8);  // what follows the block
        bytes data = w.finish();
        jpeg_data = data.data();
        jpeg_size = int32_t(data.size());
        jpeg_pos = 0;
        bit_buf = 0;
        bit_cnt = 0;
        std::fill(coef, coef + 64, 77);
        decode_block(dc, ac);
        int32_t expected[64] = {};
        for (auto [index, value] : c.coefs) expected[index] = value;
        for (int32_t i = 0; i < 64; ++i) EXPECT_EQ(coef[i], expected[i]) << i;
        EXPECT_EQ(get_bits(8), 0xA5u);
    }
}

TEST_F(Jpeg, BlocksTakeRunsAndValuesInZigZagOrder) {
    block_tables t;
    expect_blocks(
        t.dc, t.ac,
        {
            {"end of block at once", {{3, 8}, {0b101, 3}, {ac(0x00), 8}}, {{0, 5}}},
            {"DC size 0, then a value after sixteen zeros",
             {{0, 8}, {ac(0xF0), 8}, {ac(0x01), 8}, {1, 1}, {ac(0x00), 8}},
             {{zigzag[17], 1}}},
            {"a run of three and a negative value",
             {{1, 8}, {0, 1}, {ac(0x35), 8}, {0b00000, 5}, {ac(0x02), 8}, {0b10, 2}, {ac(0x00), 8}},
             {{0, -1}, {zigzag[4], -31}, {zigzag[5], 2}}},
            {"the last position ends the block without an end of block",
             {{0, 8}, {ac(0xF0), 8}, {ac(0xF0), 8}, {ac(0xF0), 8}, {ac(0xE1), 8}, {0, 1}},
             {{63, -1}}},
            {"a run past the last position leaves its value bits unread",
             {{0, 8}, {ac(0xF0), 8}, {ac(0xF0), 8}, {ac(0xF0), 8}, {ac(0xF1), 8}},
             {}},
        });
}

TEST_F(Jpeg, ShortCodesAndTheirValueBitsAreTakenTogether) {
    // Codes 00 end of block, 01 run 1 size 1, 10 run 15 size 1, 110 sixteen
    // zeros, 111 run 0 size 1: each with its value bit fits in one look-up.
    block_tables t;
    huf_table ac = table_of({{2, 3}, {3, 2}}, {0x00, 0x11, 0xF1, 0xF0, 0x01});
    create_huf(ac);
    expect_blocks(t.dc, ac,
                  {
                      {"runs and values",
                       {{0, 8}, {0b01, 2}, {1, 1}, {0b111, 3}, {0, 1}, {0b00, 2}},
                       {{zigzag[2], 1}, {zigzag[3], -1}}},
                      {"a run past the last position leaves its value bit unread",
                       {{0, 8}, {0b110, 3}, {0b110, 3}, {0b110, 3}, {0b10, 2}},
                       {}},
                      {"sixteen zeros past the last position end the block",
                       {{0, 8}, {0b110, 3}, {0b110, 3}, {0b10, 2}, {1, 1}, {0b110, 3}},
                       {{zigzag[48], 1}}},
                  });
}

TEST_F(Jpeg, AMarkerInsideABlockReadsAsZeroBits) {
    block_tables t;
    // DC size 3 and its bits 101; then the end marker: the AC symbol is the
    // code of zero bits, the end of block.
    feed({3, 0b10100000, 0xFF, 0xD9, 0x12, 0x34});
    decode_block(t.dc, t.ac);
    EXPECT_EQ(coef[0], 5);
    for (int32_t i = 1; i < 64; ++i) EXPECT_EQ(coef[i], 0) << i;
    EXPECT_EQ(jpeg_pos, jpeg_size);
    decode_block(t.dc, t.ac);  // and so is every later block
    EXPECT_EQ(coef[0], 0);
}

TEST_F(Jpeg, ADcSizeBeyondSixteenBitsIsRefused) {
    block_tables t;
    feed({16, 0xFF, 0x00, 0xFF, 0x00, ac(0x00)});
    decode_block(t.dc, t.ac);
    EXPECT_EQ(coef[0], 65535);
    feed({17, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00});
    EXPECT_FATAL(decode_block(t.dc, t.ac), "jpeg.decode_block: corrupt dc coefficient size");
}

// --- inverse DCT ---

TEST_F(Jpeg, TheLimitTableWrapsAtNineBits) {
    init_limit();
    for (int32_t v = -256; v < 256; ++v)
        EXPECT_EQ(limit[v & 511], v < -128 ? 0 : v > 127 ? 255 : v + 128) << v;
    EXPECT_EQ(limit[300 & 511], 0);
    EXPECT_EQ(limit[-300 & 511], 255);
}

TEST_F(Jpeg, ADcOnlyBlockIsFlatAndRoundedHalfToEven) {
    init_limit();
    quant[0][0] = 16;
    create_quant(0);
    EXPECT_EQ(qscale[0][0], 2.0);
    int32_t block[64] = {10};
    uint8_t out[64];
    idct(block, qscale[0], out, 8);
    for (int32_t i = 0; i < 64; ++i) EXPECT_EQ(out[i], 148) << i;

    // With the DC coefficient 1, the table's first value is the transform's
    // output in every sample.
    const std::pair<double, int32_t> outputs[] = {
        {0, 128},    {-28, 100},  {127.5, 255}, {128.5, 255}, {255.4, 255}, {256, 0},
        {-128.5, 0}, {-129, 0},   {300, 0},     {-300, 255},  {0.5, 128},   {1.5, 130},
        {2.5, 130},  {-0.5, 128}, {-1.5, 126},  {-127.5, 0},  {-126.5, 2},
    };
    for (auto [value, sample] : outputs) {
        SCOPED_TRACE(value);
        double q[64];
        std::fill(q, q + 64, 1.0);
        q[0] = value;
        int32_t dc[64] = {1};
        uint8_t flat[16 * 8];
        std::memset(flat, 0x55, sizeof flat);
        idct(dc, q, flat, 16);
        for (int32_t r = 0; r < 8; ++r)
            for (int32_t c = 0; c < 16; ++c)
                EXPECT_EQ(flat[r * 16 + c], c < 8 ? sample : 0x55) << r << "," << c;
    }
}

// The textbook inverse DCT of dequantised coefficients, before rounding.
double textbook_idct(const int32_t* block, const uint8_t* q, int32_t x, int32_t y) {
    const double pi = std::acos(-1.0);
    double sum = 0;
    for (int32_t v = 0; v < 8; ++v)
        for (int32_t u = 0; u < 8; ++u) {
            double cu = u == 0 ? std::sqrt(0.5) : 1.0;
            double cv = v == 0 ? std::sqrt(0.5) : 1.0;
            sum += cu * cv * block[v * 8 + u] * q[v * 8 + u] * std::cos((2 * x + 1) * u * pi / 16) *
                   std::cos((2 * y + 1) * v * pi / 16);
        }
    return sum / 4;
}

TEST_F(Jpeg, TheTransformIsTheInverseDct) {
    init_limit();
    uint32_t seed = 12345;
    auto next = [&seed]() { return (seed = seed * 1103515245 + 12345) >> 16; };
    int32_t near_ties = 0;
    for (int32_t round = 0; round < 200; ++round) {
        for (int32_t i = 0; i < 64; ++i) quant[0][i] = uint8_t(1 + next() % 40);
        create_quant(0);
        int32_t block[64] = {};
        // Sparse and dense blocks, with columns that have no AC energy.
        int32_t count = round % 4 == 0 ? 64 : int32_t(1 + next() % 12);
        for (int32_t n = 0; n < count; ++n) block[next() % 64] = int32_t(next() % 61) - 30;
        uint8_t out[64];
        idct(block, qscale[0], out, 8);
        for (int32_t y = 0; y < 8; ++y)
            for (int32_t x = 0; x < 8; ++x) {
                double f = textbook_idct(block, quant[0], x, y);
                long want = std::lrint(f);
                int32_t expected = limit[want & 511];
                // The constants carry nine digits: only values within a hair of a
                // half may round the other way.
                if (std::fabs(f - std::floor(f) - 0.5) < 1e-4) {
                    ++near_ties;
                    EXPECT_LE(std::abs(out[y * 8 + x] - expected), 1);
                } else {
                    EXPECT_EQ(out[y * 8 + x], expected)
                        << "round " << round << " " << x << "," << y << " " << f;
                }
            }
    }
    EXPECT_LT(near_ties, 100);
}

// The transform as the algorithm states it, one column or row at a time in
// plain doubles, rounded with nearbyint and limited through the table.
void plain_idct(const int32_t* in, const double* q, uint8_t* out) {
    auto one_d = [](double* x, int32_t step) {
        double t10 = x[0] + x[4 * step], t11 = x[0] - x[4 * step];
        double t13 = x[2 * step] + x[6 * step];
        double t12 = (x[2 * step] - x[6 * step]) * 1.414213562 - t13;
        double e0 = t10 + t13, e3 = t10 - t13, e1 = t11 + t12, e2 = t11 - t12;
        double z13 = x[5 * step] + x[3 * step], z10 = x[5 * step] - x[3 * step];
        double z11 = x[step] + x[7 * step], z12 = x[step] - x[7 * step];
        double o7 = z11 + z13;
        double o11 = (z11 - z13) * 1.414213562;
        double z5 = (z10 + z12) * 1.847759065;
        double o10 = 1.082392200 * z12 - z5;
        double o12 = -2.613125930 * z10 + z5;
        double o6 = o12 - o7, o5 = o11 - o6, o4 = o10 + o5;
        double y[8] = {e0 + o7, e1 + o6, e2 + o5, e3 - o4, e3 + o4, e2 - o5, e1 - o6, e0 - o7};
        for (int32_t i = 0; i < 8; ++i) x[i * step] = y[i];
    };
    double ws[64];
    for (int32_t i = 0; i < 64; ++i) ws[i] = in[i] * q[i];
    for (int32_t c = 0; c < 8; ++c) one_d(ws + c, 8);
    for (int32_t r = 0; r < 8; ++r) {
        one_d(ws + r * 8, 1);
        for (int32_t c = 0; c < 8; ++c)
            out[r * 8 + c] = limit[static_cast<int64_t>(std::nearbyint(ws[r * 8 + c])) & 511];
    }
}

using transform_build = void (*)(const int32_t*, const double*, uint8_t*, int32_t);

std::vector<std::pair<const char*, transform_build>> transform_builds() {
    std::vector<std::pair<const char*, transform_build>> builds = {{"generic", idct_generic}};
#if defined(__x86_64__) || defined(__i386__)
    if (__builtin_cpu_supports("avx2")) builds.push_back({"avx2", idct_avx2});
#endif
    return builds;
}

TEST_F(Jpeg, TheTransformGivesThePlainAlgorithmsSamplesExactly) {
    // Blocks of every shape the transform takes a shortcut for (DC alone,
    // nothing below the first row, columns without AC energy) and full ones,
    // with coefficients large enough that the outputs wrap at nine bits; in
    // every build the processor can run.
    init_limit();
    for (auto [name, build] : transform_builds()) {
        SCOPED_TRACE(name);
        uint32_t seed = 99;
        auto next = [&seed]() { return (seed = seed * 1103515245 + 12345) >> 16; };
        for (int32_t round = 0; round < 2000; ++round) {
            SCOPED_TRACE(round);
            for (int32_t i = 0; i < 64; ++i) quant[0][i] = uint8_t(1 + next() % 255);
            create_quant(0);
            int32_t block[64] = {};
            int32_t shape = round % 5;
            int32_t magnitude = round % 3 == 0 ? 2048 : 64;
            int32_t count = shape == 4 ? 64 : int32_t(1 + next() % 10);
            for (int32_t n = 0; n < count; ++n) {
                int32_t index = int32_t(next() % 64);
                if (shape == 0) index = 0;                          // DC alone
                if (shape == 1) index %= 8;                         // the first row
                if (shape == 2) index = index / 8 * 8 + index % 4;  // the left columns
                block[index] = int32_t(next() % (2 * magnitude)) - magnitude;
            }
            uint8_t fast[8 * 12], plain[64];
            std::memset(fast, 0x55, sizeof fast);
            build(block, qscale[0], fast, 12);
            plain_idct(block, qscale[0], plain);
            for (int32_t r = 0; r < 8; ++r)
                for (int32_t c = 0; c < 12; ++c)
                    ASSERT_EQ(fast[r * 12 + c], c < 8 ? plain[r * 8 + c] : 0x55) << r << "," << c;
        }
    }
}

// --- colour ---

TEST_F(Jpeg, ColourTablesHoldTheJfifConversion) {
    init_colour();
    EXPECT_EQ(cr_r[0], -51);
    EXPECT_EQ(cr_r[255], 306);
    EXPECT_EQ(cb_b[0], -99);
    EXPECT_EQ(cb_b[255], 353);
    EXPECT_EQ(cr_g[128], 128 * 65536);
    EXPECT_EQ(cb_g[128], 0);
    EXPECT_EQ(cb_g[0], 2886856);  // 0.34414 * 128 * 65536 = 2886855.57
    EXPECT_EQ(clamp[0], 0);
    EXPECT_EQ(clamp[127], 0);
    EXPECT_EQ(clamp[128], 0);
    EXPECT_EQ(clamp[383], 255);
    EXPECT_EQ(clamp[511], 255);
}

TEST_F(Jpeg, YCbCrBecomesRedGreenBlue) {
    struct conversion {
        uint8_t y, cb, cr, r, g, b;
    };
    const conversion cases[] = {
        {255, 128, 128, 255, 255, 255}, {0, 128, 128, 0, 0, 0},    {128, 128, 128, 128, 128, 128},
        {76, 85, 255, 254, 0, 0},       {29, 255, 107, 0, 0, 254}, {150, 44, 21, 0, 255, 1},
        {250, 255, 128, 250, 206, 255}, {0, 0, 0, 0, 135, 0},
    };
    init_colour();
    for (int32_t v : {1, 2}) {
        comp[0].v = v;
        for (const conversion& c : cases) {
            SCOPED_TRACE(testing::Message() << int(c.y) << " " << int(c.cb) << " " << int(c.cr));
            std::memset(luma_mcu, c.y, sizeof luma_mcu);
            std::memset(cb_block, c.cb, sizeof cb_block);
            std::memset(cr_block, c.cr, sizeof cr_block);
            std::memset(rgb_mcu, 0x55, sizeof rgb_mcu);
            convert_mcu();
            for (int32_t p = 0; p < 16 * 8 * v; ++p) {
                ASSERT_EQ(rgb_mcu[3 * p], c.b) << p;
                ASSERT_EQ(rgb_mcu[3 * p + 1], c.g) << p;
                ASSERT_EQ(rgb_mcu[3 * p + 2], c.r) << p;
            }
            if (v == 1) {
                EXPECT_EQ(rgb_mcu[384], 0x55);  // 2 x 1: eight rows only
            }
        }
    }
}

}  // namespace
