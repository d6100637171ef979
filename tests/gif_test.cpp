// The GIF reader: files giflib writes, checked against the pixels they were
// made from and against giflib's own decoder; streams built code by code for
// what giflib never writes; malformed files; and a step-by-step model of the
// decoding that the reader's faster road must match on any stream.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "data/heap.h"
#include "pictures/gif.h"
#include "pictures/picture.h"
#include "tests/gif_data.h"
#include "tests/giflib_oracle.h"
#include "tests/loader_fixture.h"
#include "tests/sample_data.h"
#include "tests/scratch.h"

namespace {

using bytes = std::vector<uint8_t>;
using namespace gif_data;

constexpr uint8_t untouched = 0xA5;

bytes grey_table(int entries) {
    bytes t;
    for (int i = 0; i < entries; ++i) t.insert(t.end(), {uint8_t(i), uint8_t(i * 3), uint8_t(~i)});
    return t;
}

bytes with_zeros(bytes table) {
    table.resize(768);
    return table;
}

struct loaded {
    int32_t result, width, height;
    bytes pixels, palette;
};

class Gif : public loader_test {
  protected:
    // Loads file into the internal heap, which is filled with a pattern first,
    // so that pixels the data never reach and bytes past the picture can be
    // seen to keep it. after holds that many bytes past the picture.
    loaded load(const bytes& file, int32_t type = 0, bytes* after = nullptr) {
        dir.write("pic.gif", file);
        h_deinit();
        h_init(heap_size);
        fill_heap(untouched);
        uint8_t* p = nullptr;
        int32_t result = l_loadgif("pic.gif", &p, type, 2);
        size_t count = size_t(l_width) * size_t(l_height);
        if (after) *after = bytes(p + count, p + count + 64);
        return {result, l_width, l_height, bytes(p, p + count), bytes(l_palette, l_palette + 768)};
    }

    // The picture of a 3 x 2 file with the codes given.
    bytes decoded(const std::vector<uint32_t>& codes, int s = 2) {
        return load(gif_file(3, 2, grey_table(4), 1, s, sub_blocks(pack_codes(s, codes)))).pixels;
    }

    int32_t heap_size = 16 << 20;
};

// --- files giflib writes ---

enum class content { random, artwork, flat, stripes };

bytes make_pixels(content kind, int width, int height, int colours, uint32_t seed) {
    bytes p(size_t(width) * height);
    std::mt19937 rng(seed);
    switch (kind) {
    case content::random:
        for (uint8_t& v : p) v = uint8_t(rng() % colours);
        break;
    case content::artwork: {
        bytes art = picture_like(size_t(width), size_t(height), seed);
        for (size_t i = 0; i < p.size(); ++i) p[i] = uint8_t(art[i] % colours);
        break;
    }
    case content::flat:
        std::fill(p.begin(), p.end(), uint8_t(colours - 1));
        break;
    case content::stripes:
        for (size_t i = 0; i < p.size(); ++i) p[i] = uint8_t((i / 7 + i / size_t(width)) % colours);
        break;
    }
    return p;
}

TEST_F(Gif, PicturesGiflibWritesDecodeToTheirIndicesAndPalette) {
    const struct {
        int width, height, colours;
        content kind;
    } cases[] = {
        {1, 1, 2, content::flat},           {3, 2, 4, content::random},
        {17, 5, 2, content::random},        {64, 64, 8, content::stripes},
        {100, 37, 16, content::random},     {255, 3, 32, content::artwork},
        {660, 300, 256, content::artwork},  {660, 300, 256, content::random},
        {660, 300, 64, content::stripes},   {1000, 1, 128, content::random},
        {1, 1000, 256, content::random},    {4000, 1, 2, content::flat},
        {1999, 1001, 256, content::random}, {2048, 1536, 256, content::artwork},
    };
    uint32_t seed = 1;
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << ", " << c.colours
                                        << " colours, kind " << int(c.kind));
        bytes pixels = make_pixels(c.kind, c.width, c.height, c.colours, seed++);
        bytes table = grey_table(c.colours);
        bytes file = giflib::write(c.width, c.height, pixels, table);
        ASSERT_FALSE(file.empty());
        giflib::picture oracle = giflib::read(file);
        ASSERT_TRUE(oracle.ok);
        ASSERT_TRUE(oracle.pixels == pixels);

        loaded got = load(file);
        EXPECT_EQ(got.result, 2);
        EXPECT_EQ(got.width, c.width);
        EXPECT_EQ(got.height, c.height);
        EXPECT_TRUE(got.pixels == oracle.pixels);
        EXPECT_TRUE(got.palette == with_zeros(oracle.table));
    }
}

// The encoder of these tests, read by giflib: the streams it makes for what
// giflib's encoder never writes are real GIF data.
TEST_F(Gif, TheTestEncoderWritesWhatGiflibReads) {
    const lzw_options options[] = {{true, 4096}, {true, 4095}, {true, 1000}, {true, 0}};
    for (const lzw_options& o : options) {
        for (int s : {2, 5, 8}) {
            SCOPED_TRACE(testing::Message() << "s " << s << " leading clear " << o.leading_clear
                                            << " clear at " << o.clear_at);
            bytes pixels = make_pixels(content::random, 300, 200, 1 << s, uint32_t(s));
            bytes file = encoded_gif(300, 200, pixels, grey_table(1 << s), s - 1, s, o);
            giflib::picture oracle = giflib::read(file);
            ASSERT_TRUE(oracle.ok);
            EXPECT_TRUE(oracle.pixels == pixels);
        }
    }
}

TEST_F(Gif, StreamsGiflibNeverWritesDecodeToTheirPixels) {
    const struct {
        const char* what;
        lzw_options o;
    } cases[] = {
        {"without a leading clear code", {false, 4096}},
        {"a table kept full without a clear code", {true, 0}},
        {"neither", {false, 0}},
        {"a clear code every 300 codes", {true, 300}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        for (content kind : {content::random, content::artwork, content::flat}) {
            bytes pixels = make_pixels(kind, 700, 400, 256, 7);
            loaded got = load(encoded_gif(700, 400, pixels, grey_table(256), 7, 8, c.o));
            EXPECT_TRUE(got.pixels == pixels) << int(kind);
        }
    }
}

// --- the file's layout ---

bytes tiny_gif(const std::string& signature = "GIF89a") {
    return gif_file(3, 2, grey_table(4), 1, 2, sub_blocks(pack_codes(2, {4, 0, 1, 2, 3, 0, 1, 5})),
                    signature);
}

TEST_F(Gif, ASixPixelStreamFillsThreeByTwoRowByRow) {
    loaded got = load(tiny_gif());
    EXPECT_EQ(got.width, 3);
    EXPECT_EQ(got.height, 2);
    EXPECT_EQ(got.pixels, (bytes{0, 1, 2, 3, 0, 1}));
}

TEST_F(Gif, TheSignatureIsGifOrTheOldThreeBytes) {
    EXPECT_EQ(load(tiny_gif("F& xyz")).pixels, load(tiny_gif()).pixels);
    EXPECT_EQ(load(tiny_gif("GIF???")).width, 3);  // the version is not checked
    for (const char* signature : {"gif89a", "GIf89a", "F&!89a", "f& 89a", "\x89PNG\r\n"}) {
        dir.write("bad.gif", tiny_gif(signature));
        uint8_t* p = nullptr;
        EXPECT_EXIT(l_loadgif("bad.gif", &p, 0, 0), testing::ExitedWithCode(1),
                    "l_loadgif: bad\\.gif is not a GIF file")
            << signature;
    }
}

TEST_F(Gif, TheColourTableIsReadWholeAndTheRestOfThePaletteCleared) {
    load(gif_file(3, 2, grey_table(256), 7, 2, sub_blocks(pack_codes(2, {4, 0, 5}))));
    // Two entries after 256: only the first six bytes stay set.
    loaded got = load(gif_file(1, 1, grey_table(2), 0, 2, sub_blocks(pack_codes(2, {4, 1, 5}))));
    EXPECT_EQ(got.palette, with_zeros(grey_table(2)));
    EXPECT_EQ(got.pixels, bytes{1});
}

TEST_F(Gif, TheMinimumCodeSizeIsTwoToNine) {
    for (int s : {1, 10, 0, 255}) {
        dir.write("s.gif", gif_file(1, 1, grey_table(2), 0, s, sub_blocks({0})));
        uint8_t* p = nullptr;
        EXPECT_EXIT(l_loadgif("s.gif", &p, 0, 0), testing::ExitedWithCode(1),
                    "l_loadgif: s\\.gif has size problems")
            << s;
    }
    // With s = 9 the root codes run to 511; a pixel is a code's low 8 bits.
    loaded nine = load(gif_file(5, 1, grey_table(256), 7, 9,
                                sub_blocks(pack_codes(9, {512, 3, 259, 511, 514, 513}))));
    EXPECT_EQ(nine.pixels, (bytes{3, 3, 255, 3, 3}));
    bytes pixels = make_pixels(content::random, 50, 50, 4, 3);
    EXPECT_EQ(load(encoded_gif(50, 50, pixels, grey_table(4), 1, 2)).pixels, pixels);
}

// --- code streams built by hand (s = 2: clear 4, end 5, first free 6) ---

constexpr uint8_t u = untouched;

TEST_F(Gif, CodeStreamsDecodeAsTheirTablesSay) {
    const struct {
        const char* what;
        std::vector<uint32_t> codes;
        bytes pixels;
    } cases[] = {
        {"roots", {4, 0, 1, 2, 3, 0, 1, 5}, {0, 1, 2, 3, 0, 1}},
        {"a code equal to the next code", {4, 1, 6, 7, 5}, {1, 1, 1, 1, 1, 1}},
        {"several clear codes act as one", {4, 4, 4, 1, 6, 5}, {1, 1, 1, u, u, u}},
        {"a clear code starts the table afresh", {4, 1, 2, 4, 4, 3, 6, 5}, {1, 2, 3, 3, 3, u}},
        {"an end code right after a clear code", {4, 1, 2, 4, 5, 1}, {1, 2, u, u, u, u}},
        {"an end code at once", {5, 1, 2}, {u, u, u, u, u, u}},
        {"a non-root code after a clear code is pixel 0", {4, 7, 4, 6, 1, 5}, {0, 0, 1, u, u, u}},
        {"no leading clear code: the first entry has prefix 0", {2, 6, 5}, {2, 0, 2, u, u, u}},
        {"no leading clear code, the next code first", {6, 5}, {0, 0, u, u, u, u}},
        {"a code beyond the next code is read as the next code", {4, 3, 7, 5}, {3, 3, 3, u, u, u}},
        {"pixels past the picture are dropped", {4, 1, 6, 7, 8, 9, 5}, {1, 1, 1, 1, 1, 1}},
    };
    for (const auto& c : cases) EXPECT_EQ(decoded(c.codes), c.pixels) << c.what;
}

// With s = 8 the codes grow from 9 to 12 bits as entries 511, 1023 and 2047
// are made; once 4095 exists they stay 12 bits wide and no entry is made until
// the next clear code. Entry 258 + j holds root j and root j + 1.
TEST_F(Gif, CodesWidenToTwelveBitsAndAFullTableMakesNoEntries) {
    std::vector<uint32_t> codes{256};
    bytes expected;
    const uint32_t roots = 4095 - 258 + 2;  // the first code after the clear makes no entry
    for (uint32_t j = 0; j < roots; ++j) {
        codes.push_back(j % 251);
        expected.push_back(uint8_t(j % 251));
    }
    auto entry = [](uint32_t code) {
        uint32_t j = code - 258;
        return bytes{uint8_t(j % 251), uint8_t((j + 1) % 251)};
    };
    for (uint32_t code : {4095u, 511u, 512u, 1023u, 1024u, 2047u, 2048u, 4095u, 300u}) {
        codes.push_back(code);
        bytes e = entry(code);
        expected.insert(expected.end(), e.begin(), e.end());
    }
    // After a clear code, 9 bits again.
    codes.insert(codes.end(), {256, 7, 258, 259, 257});
    expected.insert(expected.end(), {7, 7, 7, 7, 7, 7});
    code_writer w(8);
    for (size_t i = 0; i < codes.size(); ++i) {
        if (i == 255) {
            EXPECT_EQ(w.width(), 9u);
        } else if (i == 256) {
            EXPECT_EQ(w.width(), 10u);  // after entry 511
        }
        w.put(codes[i]);
    }
    loaded got =
        load(gif_file(uint16_t(expected.size()), 1, grey_table(256), 7, 8, sub_blocks(w.finish())));
    EXPECT_TRUE(got.pixels == expected);
}

TEST_F(Gif, ACycleInTheTableIsCorruptData) {
    // 7 beyond the next code makes entry 6 and leaves 7 as the previous code;
    // 7 again, now the next code, makes entry 7 its own prefix.
    dir.write("cycle.gif",
              gif_file(3, 2, grey_table(4), 1, 2, sub_blocks(pack_codes(2, {4, 0, 7, 7, 7, 5}))));
    uint8_t* p = nullptr;
    EXPECT_EXIT(l_loadgif("cycle.gif", &p, 0, 0), testing::ExitedWithCode(1),
                "korvite system panic: gif\\.decode: corrupt lzw data");
}

TEST_F(Gif, EntriesNeverMadeInThisLoadHoldZeros) {
    // Makes entries 6 = (3, 3) and 7 = (6, 3).
    EXPECT_EQ(decoded({4, 3, 6, 7, 5}), (bytes{3, 3, 3, 3, 3, 3}));
    // The second 7 walks entry 7, which this load never made.
    EXPECT_EQ(decoded({4, 0, 7, 7, 5}), (bytes{0, 0, 0, 0, 0, 0}));
}

TEST_F(Gif, ImageDataMayNotEndBeforeTheEndCode) {
    bytes data = pack_codes(2, {4, 1, 2, 3, 0, 1, 2, 5});
    bytes early_terminator{1, data[0], 0, uint8_t(data.size() - 1)};
    early_terminator.insert(early_terminator.end(), data.begin() + 1, data.end());
    bytes whole = gif_file(3, 2, grey_table(4), 1, 2, sub_blocks(data));
    const struct {
        const char* what;
        bytes file;
        const char* message;
    } cases[] = {
        {"a zero count before the end code", gif_file(3, 2, grey_table(4), 1, 2, early_terminator),
         "gif\\.getcode: unexpected end of image data"},
        {"a zero count after a picture already full",
         gif_file(1, 1, grey_table(4), 1, 2, early_terminator),
         "gif\\.getcode: unexpected end of image data"},
        {"the file ending inside a sub-block", bytes(whole.begin(), whole.end() - 4),
         "gif\\.getb: unexpected end of gif file"},
        {"the file ending before the code size", bytes(whole.begin(), whole.begin() + 28),
         "gif\\.getb: unexpected end of gif file"},
        {"the file ending inside the colour table", bytes(whole.begin(), whole.begin() + 15),
         "gif\\.getb: unexpected end of gif file"},
        {"a file of five bytes", bytes_of("GIF89"), "gif\\.getb: unexpected end of gif file"},
        {"an empty file", bytes{}, "gif\\.getb: unexpected end of gif file"},
    };
    for (const auto& c : cases) {
        dir.write("short.gif", c.file);
        uint8_t* p = nullptr;
        EXPECT_EXIT(l_loadgif("short.gif", &p, 0, 0), testing::ExitedWithCode(1), c.message)
            << c.what;
    }
    // What follows the end code is never read: neither terminator nor trailer.
    bytes bare = whole;
    bare.resize(bare.size() - 2);
    EXPECT_EQ(load(bare).pixels, (bytes{1, 2, 3, 0, 1, 2}));
}

TEST_F(Gif, PixelsPastThePictureAreDroppedAndNothingBeyondItIsTouched) {
    bytes pixels = make_pixels(content::artwork, 200, 100, 256, 5);
    const struct {
        uint16_t width, height;
    } sizes[] = {{200, 50}, {199, 1}, {1, 1}, {0, 100}, {200, 0}, {0, 0}};
    for (const auto& size : sizes) {
        bytes f = encoded_gif(size.width, size.height, pixels, grey_table(256), 7, 8);
        bytes after;
        loaded got = load(f, 0, &after);
        EXPECT_EQ(got.result, 2);
        EXPECT_EQ(got.width, size.width);
        EXPECT_EQ(got.height, size.height);
        EXPECT_TRUE(got.pixels == bytes(pixels.begin(), pixels.begin() + long(got.pixels.size())))
            << size.width << "x" << size.height;
        EXPECT_EQ(after, bytes(64, untouched)) << size.width << "x" << size.height;
    }
}

// A picture too large for its heap fails with that heap's own message before
// any pixel is decoded, also when its size does not fit in 32 bits.
TEST_F(Gif, APictureTooLargeForItsHeapIsRefusedByTheHeap) {
    const struct {
        uint16_t width, height;
        int32_t a;
        const char* message;
    } cases[] = {
        {65535, 65535, 2, "h_alloc: internal heap is full\\."},
        {65535, 1024, 2, "h_alloc: internal heap is full\\."},
        {65535, 65535, 0, "Unable to allocate 4294836225 bytes"},
    };
    h_init(heap_size);
    for (const auto& c : cases) {
        dir.write("huge.gif", gif_file(c.width, c.height, grey_table(4), 1, 2, sub_blocks({0})));
        uint8_t* p = nullptr;
        EXPECT_EXIT(l_loadgif("huge.gif", &p, 0, c.a), testing::ExitedWithCode(1), c.message)
            << c.width << "x" << c.height << ", exponent " << c.a;
    }
}

TEST_F(Gif, OutputTypes) {
    bytes table = grey_table(4);
    table[3] = 200, table[4] = 100, table[5] = 50;  // entry 1, grey level 124
    bytes file = gif_file(3, 2, table, 1, 2, sub_blocks(pack_codes(2, {4, 0, 1, 2, 3, 0, 1, 5})));
    EXPECT_EQ(load(file, 0).result, 2);
    EXPECT_EQ(load(file, 2).result, 2);
    loaded grey = load(file, 1);
    EXPECT_EQ(grey.result, 1);
    // Entry 0 is (0, 0, 255), 2 is (2, 6, 253), 3 is (3, 9, 252).
    EXPECT_EQ(grey.pixels, (bytes{29, 124, 32, 34, 29, 124}));
    for (int i = 0; i < 256; ++i) EXPECT_EQ(grey.palette[3 * i + 1], i);
    // Other types are refused before the file is looked for.
    for (int32_t type : {3, 4, -1, 5}) {
        uint8_t* p = nullptr;
        EXPECT_EXIT(l_loadgif("absent.gif", &p, type, 0), testing::ExitedWithCode(1),
                    "l_loadgif: absent\\.gif cannot be converted")
            << type;
    }
}

// --- any stream: the reader against a model of the decoding ---

// The decoding one code at a time through a stack, as its steps are written,
// with the reader's guards: pixels past size dropped, a walk longer than the
// stack refused. The reader copies strings instead while the data are well
// formed; it must give the same pixels on any stream.
struct model_outcome {
    bool corrupt = false;
    bytes pixels;
};

model_outcome model(int s, const std::vector<uint32_t>& codes, size_t size) {
    const uint32_t clear = 1u << s, end = clear + 1, first_free = clear + 2;
    std::vector<uint32_t> prefix(4097), suffix(4097);
    uint32_t width = s + 1, limit = 1u << width, next = first_free, prev = 0, first = 0;
    model_outcome m;
    auto put = [&](uint32_t pixel) {
        if (m.pixels.size() < size) m.pixels.push_back(uint8_t(pixel));
    };
    for (size_t i = 0; i < codes.size();) {
        uint32_t c = codes[i++];
        if (c == end) break;
        if (c == clear) {
            width = s + 1, limit = 1u << width, next = first_free;
            while (c == clear) c = codes[i++];
            if (c == end) break;
            if (c >= next) c = 0;
            put(c);
            prev = first = c;
            continue;
        }
        std::vector<uint32_t> stack;
        uint32_t code = c;
        if (c >= next) {
            stack.push_back(first);
            code = prev;
        }
        for (; code >= first_free; code = prefix[code]) {
            if (stack.size() == 4096) return {true, {}};
            stack.push_back(suffix[code]);
        }
        stack.push_back(code);
        if (next < limit) {
            suffix[next] = code, prefix[next] = prev, first = code, prev = c;
            ++next;
        }
        if (next == limit && width < 12) width++, limit <<= 1;
        for (; !stack.empty(); stack.pop_back()) put(stack.back());
    }
    return m;
}

struct random_stream {
    int s;
    std::vector<uint32_t> codes;
    bytes data;
};

// Mostly codes a good encoder could send, with clear codes, codes equal to the
// next code, now and then one beyond it or a non-root after a clear code, and
// sometimes no clear code at the start.
random_stream make_stream(std::mt19937& rng) {
    random_stream r;
    r.s = int(2 + rng() % 8);
    code_writer w(r.s);
    const uint32_t clear = w.clear();
    auto put = [&](uint32_t c) {
        r.codes.push_back(c);
        w.put(c);
    };
    if (rng() % 4 != 0) put(clear);
    size_t count = 1 + rng() % 2000;
    for (size_t i = 0; i < count; ++i) {
        uint32_t roll = rng() % 1000, next = w.next(), top = (1u << w.width()) - 1;
        if (roll < 15) {
            put(clear);
            if (rng() % 4 == 0) put(clear + 2 + rng() % (clear - 2));
        } else if (roll < 19 && next < top) {
            put(next + 1 + rng() % (top - next));
        } else if (roll < 150 && next < 4096) {
            put(next);
        } else {
            uint32_t c = rng() % next;
            put(c == clear || c == clear + 1 ? c - 2 : c);
        }
    }
    put(clear + 1);
    r.data = w.finish();
    return r;
}

TEST_F(Gif, AnyStreamDecodesAsTheModelDoes) {
    std::mt19937 rng(2024);
    heap_size = 1 << 20;
    int corrupt = 0, compared = 0;
    for (int trial = 0; trial < 1500; ++trial) {
        random_stream r = make_stream(rng);
        size_t whole = model(r.s, r.codes, SIZE_MAX).pixels.size();
        // Pictures smaller and larger than what the data hold.
        size_t size = rng() % (whole + whole / 2 + 2);
        uint16_t width = uint16_t(size > 60000 ? 256 : size), height = 1;
        if (size > 60000) height = uint16_t(size / 256), size = size_t(width) * height;
        model_outcome m = model(r.s, r.codes, size);
        bytes file = gif_file(width, height, grey_table(256), 7, r.s, sub_blocks(r.data));
        if (m.corrupt) {
            if (++corrupt <= 3) {
                dir.write("corrupt.gif", file);
                uint8_t* p = nullptr;
                EXPECT_EXIT(l_loadgif("corrupt.gif", &p, 0, 0), testing::ExitedWithCode(1),
                            "gif\\.decode: corrupt lzw data")
                    << trial;
            }
            continue;
        }
        ++compared;
        bytes expected = m.pixels;
        expected.resize(size, untouched);
        bytes after;
        loaded got = load(file, 0, &after);
        ASSERT_TRUE(got.pixels == expected) << "trial " << trial;
        ASSERT_EQ(after, bytes(64, untouched)) << "trial " << trial;
    }
    EXPECT_GT(compared, 1100);
    EXPECT_GT(corrupt, 0);
}

}  // namespace
