// The LZSS decoder on hand-made streams, and the tools' encoder round-tripped
// through it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "data/lzss.h"
#include "platform/fake/fake.h"
#include "tests/sample_data.h"
#include "tools/korvite/lzss_encode.h"

namespace {

using bytes = std::vector<uint8_t>;

// The stream in a real file, positioned at its start, as l_loadfile hands it over.
FILE* file_of(const bytes& stream) {
    FILE* f = tmpfile();
    if (!stream.empty()) fwrite(stream.data(), 1, stream.size(), f);
    rewind(f);
    return f;
}

struct decoded {
    bytes out;
    long consumed;  // input bytes the decoder took
};

decoded decode(const bytes& stream, int32_t size, int32_t stored) {
    FILE* f = file_of(stream);
    decoded d{bytes(static_cast<size_t>(size), 0xEE), 0};
    lzss_decode(f, d.out.data(), size, stored);
    d.consumed = ftell(f);
    fclose(f);
    return d;
}

decoded decode(const bytes& stream, int32_t size) {
    return decode(stream, size, static_cast<int32_t>(stream.size()));
}

bytes text(const std::string& s) {
    return bytes(s.begin(), s.end());
}

class Lzss : public ::testing::Test {
  protected:
    void SetUp() override { fake::reset(); }
};

struct stream_case {
    const char* what;
    bytes stream;
    int32_t size;
    std::string expected;
    long consumed;
};

TEST_F(Lzss, DecodesTheWorkedStreams) {
    const stream_case cases[] = {
        {"eight literals and nothing more read",
         {0xFF, 'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 'z', 'z'},
         8,
         "abcdefgh",
         9},
        {"a reference into the initial fill repeats what it writes",
         {0x00, 0xED, 0xF0},
         3,
         "   ",
         3},
        {"a reference at the write position repeats the literal before it",
         {0x01, 0x61, 0xEE, 0xF2},
         6,
         "aaaaaa",
         4},
        {"unwritten positions below 4078 read as spaces",
         {0x00, 0x00, 0x0F, 0xDC, 0xFF, 0x00, 0x80},
         39,
         std::string(39, ' '),
         7},
        {"the output count ends a decode inside a reference",
         {0x01, 'x', 0xEE, 0xFF, 0x12, 0x34},
         5,
         "xxxxx",
         4},
        // Eighteen literals fill 4078..4095; S lands at 0, ABC at 1..3, so a
        // reference to 0 then reads S A B.
        {"the write position wraps from 4095 to 0",
         {0xFF, 'A', 'B', 'C', 'D', 'E',  'F', 'G', 'H', 0xFF, 'I',  'J',  'K',
          'L',  'M', 'N', 'O', 'P', 0x07, 'Q', 'R', 'S', 0xEE, 0xF0, 0x00, 0x00},
         25,
         "ABCDEFGHIJKLMNOPQRSABCSAB",
         26},
    };
    for (const stream_case& c : cases) {
        decoded d = decode(c.stream, c.size, 100);
        EXPECT_EQ(d.out, text(c.expected)) << c.what;
        EXPECT_EQ(d.consumed, c.consumed) << c.what;
    }
}

TEST_F(Lzss, TheLastEighteenWindowBytesOutliveADecodeAndTheRestDoNot) {
    // Twenty literals: T and U overwrite positions 0 and 1.
    decode({0xFF, 'A', 'B', 'C', 'D', 'E', 'F',  'G', 'H', 0xFF, 'I', 'J',
            'K',  'L', 'M', 'N', 'O', 'P', 0x0F, 'Q', 'R', 'T',  'U'},
           20);
    decoded next = decode({0x00, 0xEE, 0xFF, 0x00, 0x00}, 21);
    EXPECT_EQ(next.out, text("ABCDEFGHIJKLMNOPQR   "));
}

struct short_case {
    const char* what;
    bytes stream;
    int32_t size, stored;
    const char* message;
};

TEST_F(Lzss, RunningOutOfInputNamesTheBytesStillMissing) {
    const short_case cases[] = {
        {"stored size one byte short",
         {0xFF, 'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h'},
         8,
         8,
         "\\(1 bytes left\\)"},
        {"file ends inside a reference", {0x00, 0xED}, 3, 10, "\\(3 bytes left\\)"},
        {"no flag byte for the ninth item",
         {0xFF, 'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h'},
         10,
         100,
         "\\(2 bytes left\\)"},
        {"nothing to read at all", {0x01, 'a'}, 4, 0, "\\(4 bytes left\\)"},
    };
    for (const short_case& c : cases) {
        EXPECT_EXIT(decode(c.stream, c.size, c.stored), ::testing::ExitedWithCode(1),
                    std::string("lzss_decode: premature end of input file ") + c.message)
            << c.what;
    }
}

// Shapes of data for the encoder, with what each one is there to catch.
struct shape {
    const char* what;
    bytes data;
};

bytes repeated(const bytes& block, size_t size) {
    bytes out;
    while (out.size() < size) out.insert(out.end(), block.begin(), block.end());
    out.resize(size);
    return out;
}

bytes random_bytes(size_t size, uint32_t seed, uint32_t alphabet = 256) {
    std::mt19937 rng(seed);
    bytes out(size);
    for (uint8_t& b : out) b = static_cast<uint8_t>(rng() % alphabet);
    return out;
}

std::vector<shape> shapes() {
    bytes spaces_then_random(3000, ' ');
    bytes tail = random_bytes(3000, 7);
    spaces_then_random.insert(spaces_then_random.end(), tail.begin(), tail.end());
    bytes text_block = text_like(200000, 3);
    return {
        {"empty", {}},
        {"one byte", {'x'}},
        {"two bytes", {'x', 'x'}},
        {"all spaces, as the initial window", bytes(20000, ' ')},
        {"a long run overlapping the write position", bytes(100000, 'x')},
        {"a two-byte period", repeated({'a', 'b'}, 50001)},
        {"spaces, then noise", spaces_then_random},
        {"random", random_bytes(300000, 1)},
        {"few symbols", random_bytes(100000, 2, 3)},
        {"text", text_block},
        {"picture", picture_like(660, 300)},
        {"already compressed", lzss_encode(text_block.data(), text_block.size())},
        // Repeats at exactly the window's reach, and one byte beyond it.
        {"period 4096", repeated(random_bytes(4096, 4), 20000)},
        {"period 4097", repeated(random_bytes(4097, 5), 20000)},
    };
}

// Leaves bytes in window positions 4078..4095 that no input below contains,
// so a reference to them before they are written shows in the output.
void dirty_window() {
    bytes stream;
    for (int i = 0; i < 3; ++i) {
        stream.push_back(0xFF);
        for (int k = 0; k < 8; ++k) stream.push_back(0xA5);
    }
    decode(stream, 24);
}

void expect_round_trip(const bytes& data, lzss_parse parse, const std::string& what) {
    bytes packed = lzss_encode(data.data(), data.size(), parse);
    dirty_window();
    decoded d = decode(packed, static_cast<int32_t>(data.size()));
    EXPECT_EQ(d.out, data) << what;
    EXPECT_EQ(d.consumed, static_cast<long>(packed.size())) << what << ": trailing bytes";
}

TEST_F(Lzss, EveryShapeSurvivesEveryParse) {
    for (const shape& s : shapes()) {
        size_t sizes[3];
        lzss_parse parses[3] = {lzss_parse::greedy, lzss_parse::lazy, lzss_parse::optimal};
        for (int p = 0; p < 3; ++p) {
            expect_round_trip(s.data, parses[p], s.what);
            sizes[p] = lzss_encode(s.data.data(), s.data.size(), parses[p]).size();
        }
        EXPECT_LE(sizes[2], sizes[0]) << s.what << ": optimal beats greedy";
        EXPECT_LE(sizes[2], sizes[1]) << s.what << ": optimal beats lazy";
        // Nothing grows by more than its flag bytes.
        EXPECT_LE(sizes[2], s.data.size() + (s.data.size() + 7) / 8) << s.what;
    }
}

TEST_F(Lzss, RunsCostAReferencePerEighteenBytes) {
    for (uint8_t c : {uint8_t(' '), uint8_t('x')}) {
        bytes run(18000, c);
        bytes packed = lzss_encode(run.data(), run.size());
        // 1000 references of two bytes, a flag byte for every eight, and for
        // anything but a space one literal to start from.
        EXPECT_LE(packed.size(), 2000u + 126u + 2u) << int(c);
    }
}

// The longest match at every position by trying every source the window
// reaches, for checking the hash chains; positions count in a stream that
// starts with the 4078 spaces of the initial window.
std::vector<size_t> brute_force_longest(const bytes& data) {
    bytes s(4078, ' ');
    s.insert(s.end(), data.begin(), data.end());
    std::vector<size_t> longest(data.size(), 0);
    for (size_t c = 4078; c < s.size(); ++c) {
        size_t limit = std::min<size_t>(18, s.size() - c);
        for (size_t from = c >= 4096 ? c - 4096 : 0; from < c; ++from) {
            size_t n = 0;
            while (n < limit && s[from + n] == s[c + n]) ++n;
            if (n >= 3) longest[c - 4078] = std::max(longest[c - 4078], n);
        }
    }
    return longest;
}

// Encoded sizes in bytes of the greedy parse and of the cheapest parse, from
// the bit counts: a literal is 9 bits, a reference 17.
std::pair<size_t, size_t> brute_force_sizes(const bytes& data) {
    std::vector<size_t> longest = brute_force_longest(data);
    size_t n = data.size(), greedy = 0;
    for (size_t i = 0; i < n;) {
        greedy += longest[i] ? 17 : 9;
        i += longest[i] ? longest[i] : 1;
    }
    std::vector<size_t> best(n + 1, 0);
    for (size_t i = n; i-- > 0;) {
        best[i] = 9 + best[i + 1];
        for (size_t len = 3; len <= longest[i]; ++len)
            best[i] = std::min(best[i], 17 + best[i + len]);
    }
    return {(greedy + 7) / 8, (best[0] + 7) / 8};
}

TEST_F(Lzss, GreedyAndOptimalSizesAreThoseOfAFullSearch) {
    bytes picture = picture_like(660, 300);
    const shape cases[] = {
        {"few symbols", random_bytes(5000, 9, 3)},
        {"text", text_like(6000, 5)},
        {"spaces and dots", random_bytes(5000, 11, 2)},
        {"picture rows", bytes(picture.begin() + 660 * 150, picture.begin() + 660 * 160)},
        {"period 4097", repeated(random_bytes(4097, 5), 9000)},
    };
    for (const shape& c : cases) {
        auto [greedy, optimal] = brute_force_sizes(c.data);
        EXPECT_EQ(lzss_encode(c.data.data(), c.data.size(), lzss_parse::greedy).size(), greedy)
            << c.what;
        EXPECT_EQ(lzss_encode(c.data.data(), c.data.size(), lzss_parse::optimal).size(), optimal)
            << c.what;
    }
}

TEST_F(Lzss, SmallAlphabetsAtRandomLengthsRoundTrip) {
    std::mt19937 rng(42);
    for (int round = 0; round < 150; ++round) {
        size_t size = rng() % 6000;
        uint32_t alphabet = 1 + rng() % 4;
        bytes data = random_bytes(size, rng(), alphabet);
        for (uint8_t& b : data) b = static_cast<uint8_t>(b + ' ' - 1);  // around the space
        lzss_parse parse = static_cast<lzss_parse>(round % 3);
        expect_round_trip(data, parse, "round " + std::to_string(round));
        if (HasFailure()) break;
    }
}

}  // namespace
