// The picture front end: the reader chosen by the name's last extension, the
// shared description of the picture read last, and the palette helpers.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "data/heap.h"
#include "pictures/picture.h"
#include "tests/gif_data.h"
#include "tests/loader_fixture.h"
#include "tests/scratch.h"

namespace {

using bytes = std::vector<uint8_t>;

// A 3 x 1 GIF and a 2 x 2 RIX picture, told apart by their sizes.
bytes small_gif() {
    bytes table{10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120};
    return gif_data::gif_file(3, 1, table, 1, 2,
                              gif_data::sub_blocks(gif_data::pack_codes(2, {4, 1, 2, 3, 5})));
}

bytes small_rix() {
    bytes file{'R', 'I', 'X', '3', 2, 0, 2, 0, 0, 0};
    for (int i = 0; i < 768; ++i) file.push_back(uint8_t(i % 64));
    file.insert(file.end(), {1, 2, 3, 4});
    return file;
}

using Picture = loader_test;

TEST_F(Picture, TheReaderIsChosenByTheTextAfterTheLastDot) {
    const struct {
        const char* name;
        bool gif;  // the file holds the GIF, else the RIX picture
    } cases[] = {
        {"a.gif", true},    {"b.GIF", true},     {"c.Gif", true},  {"gif", true},
        {"GIF", true},      {"x.rix.gif", true}, {"d.rix", false}, {"e.SCX", false},
        {"a.b.rix", false}, {"rix", false},      {"scx", false},   {"dir.gif/p.Rix", false},
    };
    for (const auto& c : cases) {
        dir.write(c.name, c.gif ? small_gif() : small_rix());
        uint8_t* pixels = nullptr;
        EXPECT_EQ(l_loadpic(c.name, &pixels, 0, 0), 2) << c.name;
        EXPECT_EQ(l_width, c.gif ? 3 : 2) << c.name;
        EXPECT_EQ(l_height, c.gif ? 1 : 2) << c.name;
        free(pixels);
    }
}

TEST_F(Picture, NamesOfNoKnownTypeAreRefused) {
    for (const char* name :
         {"a.png", "b.gifx", "c.gi", "d.", "e.gif.bak", "f", ".jpeg", "g.rix "}) {
        dir.write(name, small_gif());
        uint8_t* pixels = nullptr;
        std::string message = "l_loadpic: unidentified picture " + std::string(name);
        EXPECT_EXIT(l_loadpic(name, &pixels, 0, 0), testing::ExitedWithCode(1), message) << name;
    }
}

TEST_F(Picture, JpgGoesToTheJpegReader) {
    for (const char* name : {"a.jpg", "B.JPG", "jpg", "c.gif.Jpg"}) {
        dir.write(name, small_gif());  // no JPEG: its reader says so in its own words
        uint8_t* pixels = nullptr;
        EXPECT_EXIT(l_loadpic(name, &pixels, 0, 0), testing::ExitedWithCode(1), "jpeg") << name;
    }
}

TEST_F(Picture, TheSharedValuesDescribeThePictureReadLast) {
    dir.write("one.rix", small_rix());
    dir.write("two.gif", small_gif());
    uint8_t *first = nullptr, *second = nullptr;
    l_loadpic("one.rix", &first, 2, 0);
    l_loadpic("two.gif", &second, 2, 0);
    EXPECT_EQ(l_width, 3);
    EXPECT_EQ(l_height, 1);
    EXPECT_EQ(bytes(second, second + 3), (bytes{1, 2, 3}));
    EXPECT_EQ(bytes(l_palette, l_palette + 13),
              (bytes{10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120, 0}));
    EXPECT_EQ(bytes(first, first + 4), (bytes{1, 2, 3, 4}));  // the first picture stays
    free(first);
    free(second);
}

void set_entry(int i, uint8_t r, uint8_t g, uint8_t b) {
    l_palette[3 * i] = r, l_palette[3 * i + 1] = g, l_palette[3 * i + 2] = b;
}

// The grey level is 0.587 G + 0.299 R + 0.114 B, added in that order and cut
// toward zero: (1, 1, 1) comes to 0.99999... and so to 0, which other orders
// of addition round to 1.
TEST_F(Picture, GreyLevelsFollowTheWeightsAndTheOrderOfAddition) {
    const struct {
        uint8_t r, g, b, grey;
    } cases[] = {
        {0, 0, 0, 0},       {255, 255, 255, 255}, {1, 1, 1, 0},     {2, 2, 2, 1},
        {3, 3, 3, 3},       {255, 0, 0, 76},      {0, 255, 0, 149}, {0, 0, 255, 29},
        {12, 114, 171, 89}, {6, 252, 213, 174},   {1, 131, 86, 87}, {200, 100, 50, 124},
    };
    memset(l_palette, 0, sizeof l_palette);
    bytes pixels;
    for (size_t i = 0; i < std::size(cases); ++i) {
        set_entry(int(i) + 100, cases[i].r, cases[i].g, cases[i].b);
        pixels.push_back(uint8_t(i + 100));
    }
    pixels.push_back(100);
    l_width = int32_t(pixels.size());
    l_height = 1;
    l_makegrey(pixels.data());
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(pixels[i], cases[i].grey)
            << int(cases[i].r) << " " << int(cases[i].g) << " " << int(cases[i].b);
    EXPECT_EQ(pixels.back(), 0);
    for (int i = 0; i < 256; ++i)
        EXPECT_EQ(bytes(l_palette + 3 * i, l_palette + 3 * i + 3),
                  (bytes{uint8_t(i), uint8_t(i), uint8_t(i)}));
}

TEST_F(Picture, GreyConversionCoversWidthTimesHeightAndNoMore) {
    memset(l_palette, 0, sizeof l_palette);
    set_entry(7, 255, 255, 255);
    bytes pixels(12, 7);
    l_width = 5;
    l_height = 2;
    l_makegrey(pixels.data());
    EXPECT_EQ(pixels, (bytes{255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 7, 7}));
    l_width = 0;
    l_makegrey(nullptr);  // an empty picture has no pixels to touch
}

TEST_F(Picture, TheSixteenBitTableTakesTheTopBitsOfEachComponent) {
    const struct {
        uint8_t r, g, b;
        uint16_t entry;
    } cases[] = {
        {255, 255, 255, 0xFFFF}, {255, 0, 0, 0xF800},        {0, 255, 0, 0x07E0},
        {0, 0, 255, 0x001F},     {8, 4, 8, 0x0821},          {7, 3, 7, 0x0000},
        {0, 0, 0, 0x0000},       {0x84, 0x42, 0x21, 0x8204},
    };
    memset(l_palette, 0, sizeof l_palette);
    for (size_t i = 0; i < std::size(cases); ++i)
        set_entry(int(i) * 30, cases[i].r, cases[i].g, cases[i].b);
    uint8_t six[768];
    l_getpal6(six);
    for (int i = 0; i < 768; ++i) EXPECT_EQ(six[i], l_palette[i] >> 2);

    h_init(4096);
    h_alloc(1, 0);
    uint16_t* table = nullptr;
    l_makepal16(six, &table, 9);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(table) % 512, 0u);
    EXPECT_GE(reinterpret_cast<uint8_t*>(table), h_base);
    EXPECT_LE(reinterpret_cast<uint8_t*>(table + 256), h_end);
    for (size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(table[i * 30], cases[i].entry) << i;
    EXPECT_EQ(table[1], 0);
}

TEST_F(Picture, TheGreyRampIsEntryIAsIIi) {
    memset(l_palette, 0xEE, sizeof l_palette);
    l_greypal();
    for (int i = 0; i < 768; ++i) EXPECT_EQ(l_palette[i], i / 3);
}

}  // namespace
