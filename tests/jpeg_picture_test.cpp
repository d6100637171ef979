// JPEG pictures through l_loadjpeg and l_loadpic: output forms, result codes
// and palettes, clipping at the picture's edges, the refusals, and pictures of
// libjpeg-turbo's encoder decoded beside libjpeg-turbo itself.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "data/archive.h"
#include "data/heap.h"
#include "pictures/jpeg.h"
#include "pictures/jpeg_internal.h"
#include "pictures/picture.h"
#include "platform/fake/fake.h"
#include "tests/fatal.h"
#include "tests/jpeg_files.h"
#include "tests/scratch.h"

namespace {

struct picture {
    int32_t result;
    bytes pixels;  // l_width x l_height pixels of the result's size
};

int32_t pixel_size(int32_t result) {
    return result == 1 ? 1 : result == 2 ? 2 : 4;
}

class JpegPicture : public ::testing::Test {
  protected:
    void SetUp() override {
        fake::reset();
        open_archive("");  // every name is a file on disk
        h_deinit();
        h_init(64 << 20);
        std::memset(l_palette, 0x33, sizeof l_palette);
        // Files by plain names in the scratch folder, so that messages name
        // the same file in a death test's own process.
        previous = std::filesystem::current_path();
        std::filesystem::current_path(dir.root);
    }
    void TearDown() override {
        std::filesystem::current_path(previous);
        h_deinit();
    }

    std::string file(const bytes& contents, const std::string& name = "p.jpg") {
        dir.write(name, contents);
        return name;
    }

    // Loads a file with l_loadjpeg; checks the buffer is exactly as large as
    // the picture needs and lies where the heap said.
    picture load(const std::string& path, int32_t type) {
        uint8_t* before = h_next;
        uint8_t* pixels = nullptr;
        int32_t result = l_loadjpeg(path.c_str(), &pixels, type, 2);
        size_t size = size_t(l_width) * l_height * pixel_size(result);
        EXPECT_EQ(reinterpret_cast<uintptr_t>(pixels) % 4, 0u);
        EXPECT_GE(pixels, before);
        EXPECT_EQ(h_next, pixels + size);
        return {result, bytes(pixels, pixels + size)};
    }
    picture load(const bytes& contents, int32_t type) { return load(file(contents), type); }

    scratch_dir dir;
    std::filesystem::path previous;
};

bool grey_ramp() {
    for (int32_t i = 0; i < 768; ++i)
        if (l_palette[i] != i / 3) return false;
    return true;
}

bool palette_untouched() {
    for (uint8_t v : l_palette)
        if (v != 0x33) return false;
    return true;
}

uint32_t pixel32(const bytes& p, size_t i) {
    return p[4 * i] | p[4 * i + 1] << 8 | p[4 * i + 2] << 16 | uint32_t(p[4 * i + 3]) << 24;
}

uint16_t pixel16(const bytes& p, size_t i) {
    return uint16_t(p[2 * i] | p[2 * i + 1] << 8);
}

// The level of every block, numbered in scan order.
std::vector<int32_t> numbered(int32_t count, int32_t first, int32_t step) {
    std::vector<int32_t> levels;
    for (int32_t i = 0; i < count; ++i) levels.push_back(first + i * step);
    return levels;
}

TEST_F(JpegPicture, AGreyPictureIsClippedAtItsRightAndBottomEdges) {
    // 20 x 10: three blocks across, two down.
    picture p = load(write_flat({20, 10, 1, 1, 1, numbered(6, 10, 20)}), 0);
    EXPECT_EQ(p.result, 1);
    EXPECT_EQ(l_width, 20);
    EXPECT_EQ(l_height, 10);
    ASSERT_EQ(p.pixels.size(), 200u);
    for (int32_t y = 0; y < 10; ++y)
        for (int32_t x = 0; x < 20; ++x)
            EXPECT_EQ(p.pixels[y * 20 + x], 10 + 20 * ((y / 8) * 3 + x / 8)) << x << "," << y;
    EXPECT_TRUE(grey_ramp());
}

// The luma level of pixel (x, y) in a flat colour file whose luma blocks are
// numbered in scan order, with MCUs of 16 x 8 or 16 x 16 pixels.
int32_t luma_at(const flat_file& f, int32_t x, int32_t y) {
    int32_t mcu_height = 8 * f.v;
    int32_t mcus_across = (f.width + 15) / 16;
    int32_t mcu = (y / mcu_height) * mcus_across + x / 16;
    int32_t block = ((y % mcu_height) / 8) * 2 + (x % 16) / 8;
    return f.levels[size_t(mcu) * (f.h * f.v + 2) + block];
}

// Luma blocks numbered from 20 in steps of 10, chroma flat at 128: every
// pixel is grey, its level that of its block.
flat_file numbered_colour(int32_t width, int32_t height, int32_t v) {
    flat_file f{width, height, 3, 2, v, {}};
    int32_t mcus = ((width + 15) / 16) * ((height + 8 * v - 1) / (8 * v));
    int32_t level = 20;
    for (int32_t m = 0; m < mcus; ++m) {
        for (int32_t b = 0; b < 2 * v; ++b, level += 10) f.levels.push_back(level);
        f.levels.insert(f.levels.end(), {128, 128});
    }
    return f;
}

TEST_F(JpegPicture, AColourPictureIsClippedAtItsRightAndBottomEdges) {
    // 2 x 2 at 17 x 17: four MCUs, the last row and column giving one pixel.
    // 2 x 1 at 17 x 9: four MCUs of 16 x 8.
    for (flat_file f : {numbered_colour(17, 17, 2), numbered_colour(17, 9, 1)}) {
        SCOPED_TRACE(f.v);
        std::string path = file(write_flat(f));
        picture colour = load(path, 4);
        picture luma = load(path, 1);
        ASSERT_EQ(colour.pixels.size(), size_t(f.width * f.height * 4));
        for (int32_t y = 0; y < f.height; ++y)
            for (int32_t x = 0; x < f.width; ++x) {
                uint32_t level = uint32_t(luma_at(f, x, y));
                EXPECT_EQ(pixel32(colour.pixels, size_t(y) * f.width + x), level * 0x010101)
                    << x << "," << y;
                EXPECT_EQ(luma.pixels[size_t(y) * f.width + x], level) << x << "," << y;
            }
    }
}

TEST_F(JpegPicture, ResultCodesAndPalettesFollowTheType) {
    struct form {
        const char* what;
        flat_file f;
        int32_t type, result;
        bool grey_palette;
    };
    const flat_file grey{8, 8, 1, 1, 1, {200}};
    const flat_file wide{16, 8, 3, 2, 1, {200, 200, 128, 128}};
    const flat_file square{16, 16, 3, 2, 2, {200, 200, 200, 200, 128, 128}};
    const form forms[] = {
        {"grey, default", grey, 0, 1, true},     {"grey, grey levels", grey, 1, 1, true},
        {"2 x 1, default", wide, 0, 2, false},   {"2 x 1, grey levels", wide, 1, 1, true},
        {"2 x 1, 16-bit", wide, 3, 2, false},    {"2 x 1, 32-bit", wide, 4, 3, false},
        {"2 x 2, default", square, 0, 2, false}, {"2 x 2, grey levels", square, 1, 1, true},
        {"2 x 2, 16-bit", square, 3, 2, false},  {"2 x 2, 32-bit", square, 4, 3, false},
    };
    for (const form& c : forms) {
        SCOPED_TRACE(c.what);
        std::memset(l_palette, 0x33, sizeof l_palette);
        picture p = load(write_flat(c.f), c.type);
        EXPECT_EQ(p.result, c.result);
        EXPECT_EQ(c.grey_palette ? grey_ramp() : palette_untouched(), true);
        uint32_t expected[] = {0, 200, 0xCE59, 200 * 0x010101u};  // (200, 200, 200) by result
        for (size_t i = 0; i < size_t(l_width) * l_height; ++i) {
            uint32_t v = p.result == 1   ? p.pixels[i]
                         : p.result == 2 ? pixel16(p.pixels, i)
                                         : pixel32(p.pixels, i);
            ASSERT_EQ(v, expected[p.result]) << i;
        }
    }
}

TEST_F(JpegPicture, ColoursArePackedInBothDepths) {
    struct colour {
        int32_t y, cb, cr;
        uint16_t rgb565;
        uint32_t rgb888;
    };
    const colour colours[] = {
        {255, 128, 128, 0xFFFF, 0xFFFFFF}, {0, 128, 128, 0x0000, 0x000000},
        {128, 128, 128, 0x8410, 0x808080}, {76, 85, 255, 0xF800, 0xFE0000},
        {29, 255, 107, 0x001F, 0x0000FE},  {150, 44, 21, 0x07E0, 0x00FF01},
        {250, 255, 128, 0xFE7F, 0xFACEFF},
    };
    // One 2 x 2 MCU per colour, side by side.
    flat_file f{16 * int32_t(std::size(colours)), 16, 3, 2, 2, {}};
    for (const colour& c : colours)
        f.levels.insert(f.levels.end(), {c.y, c.y, c.y, c.y, c.cb, c.cr});
    std::string path = file(write_flat(f));
    picture p16 = load(path, 3);
    picture p32 = load(path, 4);
    for (size_t i = 0; i < std::size(colours); ++i) {
        SCOPED_TRACE(i);
        for (size_t y = 0; y < 16; ++y)
            for (size_t x = 16 * i; x < 16 * i + 16; ++x) {
                ASSERT_EQ(pixel16(p16.pixels, y * f.width + x), colours[i].rgb565);
                ASSERT_EQ(pixel32(p32.pixels, y * f.width + x), colours[i].rgb888);
            }
    }
}

// The file with its frame header claiming another size.
bytes resized(bytes file, int32_t width, int32_t height) {
    for (size_t i = 0; i + 9 < file.size(); ++i)
        if (file[i] == 0xFF && file[i + 1] == 0xC0) {
            file[i + 5] = uint8_t(height >> 8);
            file[i + 6] = uint8_t(height);
            file[i + 7] = uint8_t(width >> 8);
            file[i + 8] = uint8_t(width);
            break;
        }
    return file;
}

TEST_F(JpegPicture, BlocksAtTheEdgesGiveTheSamePixelsAsBlocksInside) {
    // The same scan read as a picture one pixel narrower and shorter has the
    // same MCUs, but its last MCU row and column are clipped: they take the
    // edge road, where the whole picture took the road for MCUs inside it.
    struct layout_case {
        sampling layout;
        int32_t width, height;
    };
    const layout_case layouts[] = {
        {sampling::h2v2, 64, 48}, {sampling::h2v1, 64, 24}, {sampling::grey, 24, 16}};
    for (const layout_case& c : layouts) {
        int32_t comps = c.layout == sampling::grey ? 1 : 3;
        // Noise, so that every channel also meets its limits.
        bytes noise = test_picture(c.width, c.height, comps, 5);
        for (size_t i = 0; i < noise.size(); ++i) noise[i] = uint8_t(noise[i] * 37 + i * 11);
        bytes whole = libjpeg_encode(noise, c.width, c.height, c.layout, 95, false);
        std::string inside = file(whole, "whole.jpg");
        std::string edges = file(resized(whole, c.width - 1, c.height - 1), "edges.jpg");
        for (int32_t type : comps == 1 ? std::vector<int32_t>{1} : std::vector<int32_t>{1, 3, 4}) {
            SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " type " << type);
            picture a = load(inside, type);
            picture b = load(edges, type);
            size_t size = size_t(pixel_size(a.result));
            for (int32_t y = 0; y < c.height - 1; ++y)
                ASSERT_EQ(0, std::memcmp(a.pixels.data() + y * c.width * size,
                                         b.pixels.data() + y * (c.width - 1) * size,
                                         (c.width - 1) * size))
                    << "row " << y;
        }
    }
}

TEST_F(JpegPicture, ThePictureFrontEndHandsJpgFilesToTheJpegReader) {
    std::string path = file(write_flat({8, 8, 1, 1, 1, {77}}), "Screen.JPG");
    uint8_t* pixels = nullptr;
    EXPECT_EQ(l_loadpic(path.c_str(), &pixels, 0, 2), 1);
    EXPECT_EQ(pixels[63], 77);
}

TEST_F(JpegPicture, DataCutShortReadsAsZeroBits) {
    bytes whole = libjpeg_encode(test_picture(96, 64, 3), 96, 64, sampling::h2v2, 90, false);
    // The scan cut in its middle, without and with an end marker after the cut:
    // both decode to the end, reading zero bits from the cut on.
    bytes cut(whole.begin(), whole.begin() + long(whole.size() * 2 / 3));
    bytes marked = cut;
    marked.insert(marked.end(), {0xFF, 0xD9, 0xFF, 0xFF, 0xAB, 0xCD});
    picture a = load(cut, 4);
    picture b = load(marked, 4);
    EXPECT_EQ(a.pixels, b.pixels);
    EXPECT_NE(a.pixels, load(whole, 4).pixels);
}

TEST_F(JpegPicture, LayoutsAndTypesOutsideTheSubsetAreRefused) {
    struct refusal {
        const char* what;
        flat_file f;
        int32_t type;
        const char* message;
    };
    const char* cannot = "l_loadjpeg: NAME cannot be converted";
    const char* subsampling = "l_loadjpeg: unsupported subsampling type";
    const refusal cases[] = {
        {"grey as palette", {8, 8, 1, 1, 1, {1}}, 2, cannot},
        {"grey as 16-bit", {8, 8, 1, 1, 1, {1}}, 3, cannot},
        {"grey as 32-bit", {8, 8, 1, 1, 1, {1}}, 4, cannot},
        {"colour as palette", {16, 16, 3, 2, 2, {1, 1, 1, 1, 1, 1}}, 2, cannot},
        {"colour as type 5", {16, 8, 3, 2, 1, {1, 1, 1, 1}}, 5, cannot},
        {"colour as type -1", {16, 8, 3, 2, 1, {1, 1, 1, 1}}, -1, cannot},
        {"colour without subsampling", {8, 8, 3, 1, 1, {1, 1, 1}}, 0, subsampling},
        {"layout before type", {8, 8, 3, 1, 1, {1, 1, 1}}, 2, subsampling},
        {"vertical subsampling only", {8, 16, 3, 1, 2, {1, 1, 1, 1}}, 0, subsampling},
        {"grey sampled 1 x 2", {8, 16, 1, 1, 2, {1, 1}}, 1, subsampling},
    };
    for (const refusal& c : cases) {
        SCOPED_TRACE(c.what);
        std::string path = file(write_flat(c.f));
        std::string message = c.message;
        if (message == cannot) message = "l_loadjpeg: " + path + " cannot be converted";
        EXPECT_FATAL(load(path, c.type), message);
    }
}

TEST_F(JpegPicture, DamagedDataStopsWithAMessage) {
    // A DC table with one code of 2 bits ("00") and no other: bits that begin
    // with a 1 are no code at all.
    bytes dqt = segment(0xDB, [] {
        bytes p = {0};
        p.insert(p.end(), 64, 8);
        return p;
    }());
    bytes dht = segment(0xC4, {0x00, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                               0x10, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    bytes file_bytes = {0xFF, 0xD8};
    for (const bytes& b : {dqt, dht, frame_header(8, 8, {0x11}), scan_header(1),
                           bytes{0x3F, 0xFF, 0x00, 0xFF, 0xD9}})
        file_bytes.insert(file_bytes.end(), b.begin(), b.end());
    EXPECT_FATAL(load(file_bytes, 1), "jpeg.get_huf: corrupt huffman data");
}

TEST_F(JpegPicture, APictureNeedsTheTablesOfItsOwnFile) {
    std::string first = file(write_flat({8, 8, 1, 1, 1, {50}}), "first.jpg");
    // The same picture without its Huffman tables.
    bytes bare = {0xFF, 0xD8};
    bytes dqt = segment(0xDB, [] {
        bytes p = {0};
        p.insert(p.end(), 64, 8);
        return p;
    }());
    for (const bytes& b :
         {dqt, frame_header(8, 8, {0x11}), scan_header(1), bytes{0x00, 0xFF, 0xD9}})
        bare.insert(bare.end(), b.begin(), b.end());
    std::string second = file(bare, "second.jpg");
    EXPECT_FATAL((load(first, 1), load(second, 1)), "jpeg.read_header: missing huffman table");
}

TEST_F(JpegPicture, AnOutputTooLargeForTheHeapIsRefusedByTheHeap) {
    // 65535 x 65535 pixels of 4 bytes do not fit in 32 bits; 6000 x 4000 of 4
    // bytes do, but not in this heap.
    for (int32_t side : {65535, 6000}) {
        SCOPED_TRACE(side);
        flat_file f{side, side == 6000 ? 4000 : side, 3, 2, 2, {}};
        EXPECT_FATAL(load(write_flat(f), 4), "h_alloc: internal heap is full.");
    }
    EXPECT_FATAL(load(write_flat({65535, 65535, 1, 1, 1, {}}), 1),
                 "h_alloc: internal heap is full.");
}

TEST_F(JpegPicture, AMissingFileIsReportedByTheLoader) {
    EXPECT_FATAL(load(std::string("none.jpg"), 0), "l_loadfile: none.jpg not found");
}

// --- beside libjpeg-turbo ---

struct oracle_case {
    int32_t width, height;
    sampling layout;
    int32_t quality;
    bool optimize;
};

const oracle_case oracle_cases[] = {
    {660, 300, sampling::h2v2, 75, false}, {97, 61, sampling::h2v2, 90, true},
    {1, 1, sampling::h2v2, 75, false},     {33, 17, sampling::h2v1, 50, false},
    {123, 45, sampling::h2v1, 100, true},  {200, 120, sampling::h2v2, 100, true},
    {64, 64, sampling::grey, 75, false},   {59, 43, sampling::grey, 95, true},
    {9, 7, sampling::grey, 10, false},     {250, 90, sampling::h2v2, 30, true},
};

// The range of our sample minus theirs, and how many samples differ, over
// every step-th sample from first on.
struct difference {
    int32_t lowest = 0, highest = 0;
    size_t count = 0, samples = 0;
};

difference compare(const bytes& ours, const bytes& theirs, size_t first = 0, size_t step = 1) {
    difference d;
    EXPECT_EQ(ours.size(), theirs.size());
    for (size_t i = first; i < ours.size() && i < theirs.size(); i += step) {
        int32_t e = int32_t(ours[i]) - int32_t(theirs[i]);
        d.lowest = std::min(d.lowest, e);
        d.highest = std::max(d.highest, e);
        d.count += e != 0;
        ++d.samples;
    }
    return d;
}

// Our 32-bit pixels as red, green, blue bytes.
bytes rgb_of(const bytes& pixels32) {
    bytes out;
    for (size_t i = 0; i < pixels32.size(); i += 4)
        out.insert(out.end(), {pixels32[i + 2], pixels32[i + 1], pixels32[i]});
    return out;
}

// libjpeg-turbo's float transform works in single precision and rounds its
// own way, so a sample may differ by 1, rarely. Its green is rounded to
// nearest, ours down: our green is up to 1 lower, 2 where the transform's
// rounding adds to it.
TEST_F(JpegPicture, PicturesAgreeWithLibjpegWithinRounding) {
    bool long_codes = false;
    for (const oracle_case& c : oracle_cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " q" << c.quality
                                        << (c.optimize ? " optimised" : ""));
        int32_t comps = c.layout == sampling::grey ? 1 : 3;
        bytes jpg = libjpeg_encode(test_picture(c.width, c.height, comps), c.width, c.height,
                                   c.layout, c.quality, c.optimize);
        std::string path = file(jpg);
        picture grey = load(path, 1);
        difference dg = compare(grey.pixels, libjpeg_decode(jpg, 1, true));
        EXPECT_GE(dg.lowest, -1);
        EXPECT_LE(dg.highest, 1);
        EXPECT_LE(dg.count, dg.samples / 1000);
        for (int32_t t = 0; t < 2; ++t)
            for (int32_t l = 9; l <= 16; ++l) long_codes |= jpeg::ac_huf[t].bits[l] != 0;
        if (comps == 1) continue;
        picture p32 = load(path, 4);
        picture p16 = load(path, 3);
        bytes ours = rgb_of(p32.pixels);
        bytes theirs = libjpeg_decode(jpg, 3, true);
        for (size_t channel : {0, 2}) {  // red, blue
            difference d = compare(ours, theirs, channel, 3);
            EXPECT_GE(d.lowest, -1) << channel;
            EXPECT_LE(d.highest, 1) << channel;
            EXPECT_LE(d.count, d.samples / 1000) << channel;
        }
        difference green = compare(ours, theirs, 1, 3);
        EXPECT_GE(green.lowest, -2);
        EXPECT_LE(green.highest, 0);
        // The 16-bit pixels are the 32-bit ones with their low bits dropped.
        for (size_t i = 0; i < p16.pixels.size() / 2; ++i) {
            uint32_t v = pixel32(p32.pixels, i);
            uint32_t r = v >> 16 & 0xFF, g = v >> 8 & 0xFF, b = v & 0xFF;
            ASSERT_EQ(pixel16(p16.pixels, i), (r >> 3) << 11 | (g >> 2) << 5 | b >> 3) << i;
        }
        // The alpha byte stays zero.
        for (size_t i = 3; i < p32.pixels.size(); i += 4) ASSERT_EQ(p32.pixels[i], 0) << i;
    }
    EXPECT_TRUE(long_codes);  // some optimised table had codes longer than 8 bits
}

}  // namespace
