// The default artwork as the build wrote it: read back with giflib and with
// the engine's own GIF reader, checked for the GIF subset the engine reads,
// the one shared palette, the digit font's layout, the link map, the buttons
// drawn where the map has them, and the play-time box; then drawn a second
// time to show that the bytes do not change. Also the quantiser on its own.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "data/archive.h"
#include "data/heap.h"
#include "pictures/gif.h"
#include "pictures/picture.h"
#include "platform/fake/fake.h"
#include "tests/giflib_oracle.h"
#include "tests/scratch.h"
#include "tools/artgen/layout.h"
#include "tools/artgen/palette.h"

namespace {

using bytes = std::vector<uint8_t>;

bytes read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return bytes(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::string> all_files() {
    std::vector<std::string> names(screen_files, screen_files + screen_pictures);
    names.push_back(links_file);
    names.push_back(font_file);
    return names;
}

// Every picture once, as giflib reads it, with its bytes.
struct artwork {
    std::map<std::string, bytes> files;
    std::map<std::string, giflib::picture> pictures;
    artwork() {
        for (const std::string& name : all_files()) {
            files[name] = read_file(std::string(KORVITE_ASSETS_DIR) + "/" + name);
            pictures[name] = giflib::read(files[name]);
        }
    }
    const giflib::picture& operator[](const std::string& name) const { return pictures.at(name); }
};

const artwork& art() {
    static const artwork a;
    return a;
}

int at(const giflib::picture& p, int x, int y) {
    return p.pixels[size_t(y) * p.width + x];
}

int font_background_of(const giflib::picture& font) {
    return at(font, 0, 0);
}

TEST(art, every_picture_is_one_plain_image_of_its_size) {
    for (const std::string& name : all_files()) {
        SCOPED_TRACE(name);
        const bytes& f = art().files.at(name);
        const giflib::picture& p = art()[name];
        ASSERT_TRUE(p.ok);
        bool font = name == font_file;
        EXPECT_EQ(p.width, font ? font_width : screen_width);
        EXPECT_EQ(p.height, font ? font_height : screen_height);
        ASSERT_GT(f.size(), 13u + 768 + 11);
        EXPECT_EQ(std::string(f.begin(), f.begin() + 3), "GIF");
        EXPECT_EQ(f[10] & 0x87, 0x87) << "a global table of 256 entries";
        // The image descriptor follows the table directly: no extension
        // block in between, no local table, no interlacing.
        size_t at = 13 + 768;
        EXPECT_EQ(f[at], 0x2C);
        EXPECT_EQ(f[at + 5] | f[at + 6] << 8, p.width);
        EXPECT_EQ(f[at + 7] | f[at + 8] << 8, p.height);
        EXPECT_EQ(f[at + 9] & 0xC0, 0) << "local table or interlace flag";
        EXPECT_EQ(f[at + 10], 8) << "LZW minimum code size";
        // The data sub-blocks, then the trailer closes the file: one image
        // and nothing after it.
        at += 11;
        while (at < f.size() && f[at] != 0) at += 1 + f[at];
        ASSERT_LT(at + 1, f.size());
        EXPECT_EQ(f[at + 1], 0x3B);
        EXPECT_EQ(at + 2, f.size());
    }
}

TEST(art, every_picture_carries_the_same_palette) {
    const bytes& greetings = art()["greetings.gif"].table;
    ASSERT_EQ(greetings.size(), 768u);
    EXPECT_EQ(greetings, palette_rgb()) << "the palette artgen builds";
    for (const std::string& name : all_files()) EXPECT_EQ(art()[name].table, greetings) << name;
}

TEST(art, digit_font_has_its_glyphs_in_their_cells) {
    const giflib::picture& font = art()[font_file];
    const int background = font_background_of(font);
    struct cell {
        int first, width;
    };
    std::vector<cell> cells;
    for (int d = 0; d < 10; d++) cells.push_back({8 * d, 8});
    cells.push_back({80, 4});
    std::vector<bytes> glyphs;
    for (const cell& c : cells) {
        SCOPED_TRACE(c.first);
        // The ink of each glyph, centred in its own cell.
        double sum = 0;
        int count = 0;
        bytes glyph;
        for (int y = 0; y < font_height; y++)
            for (int x = c.first; x < c.first + c.width; x++) {
                glyph.push_back(uint8_t(at(font, x, y)));
                if (at(font, x, y) != background) sum += x, count++;
            }
        ASSERT_GT(count, 4);
        EXPECT_NEAR(sum / count, c.first + (c.width - 1) / 2.0, 1.5);
        glyphs.push_back(glyph);
    }
    for (size_t i = 0; i < glyphs.size(); i++)
        for (size_t k = i + 1; k < glyphs.size(); k++)
            EXPECT_NE(glyphs[i], glyphs[k]) << i << " " << k;
}

TEST(art, link_map_has_one_solid_area_per_code) {
    const giflib::picture& links = art()[links_file];
    struct box {
        int x0 = 1 << 30, y0 = 1 << 30, x1 = -1, y1 = -1;
    };
    std::vector<box> boxes(link_count + 1);
    for (int y = 0; y < links.height; y++)
        for (int x = 0; x < links.width; x++) {
            int code = at(links, x, y);
            ASSERT_LE(code, link_count) << x << "," << y;
            box& b = boxes[code];
            b.x0 = std::min(b.x0, x), b.y0 = std::min(b.y0, y);
            b.x1 = std::max(b.x1, x), b.y1 = std::max(b.y1, y);
        }
    for (int code = 1; code <= link_count; code++) {
        SCOPED_TRACE(code);
        const box& b = boxes[code];
        ASSERT_GE(b.x1, 0) << "code missing";
        EXPECT_GE(b.x1 - b.x0 + 1, 24);
        EXPECT_GE(b.y1 - b.y0 + 1, 14);
        for (int y = b.y0; y <= b.y1; y++)
            for (int x = b.x0; x <= b.x1; x++) ASSERT_EQ(at(links, x, y), code) << x << "," << y;
        // Where the layout says it is, since the player's tests click there.
        area a = link_area(code);
        EXPECT_EQ(b.x0, a.x);
        EXPECT_EQ(b.y0, a.y);
        EXPECT_EQ(b.x1, a.x + a.w - 1);
        EXPECT_EQ(b.y1, a.y + a.h - 1);
    }
}

// The buttons on a screen: the outline colour only inside link areas and in
// every one of them, the marker only on the screen's own entry.
TEST(art, every_screen_draws_its_buttons_over_the_link_map) {
    const giflib::picture& links = art()[links_file];
    for (int s = 0; s < screen_pictures; s++) {
        SCOPED_TRACE(screen_files[s]);
        const giflib::picture& p = art()[screen_files[s]];
        std::vector<int> edges(link_count + 1, 0);
        int markers = 0;
        for (int y = 0; y < p.height; y++)
            for (int x = 0; x < p.width; x++) {
                int code = at(links, x, y);
                if (at(p, x, y) == edge_index) {
                    EXPECT_NE(code, 0) << "outline outside the areas at " << x << "," << y;
                    edges[code]++;
                }
                if (at(p, x, y) == marker_index) {
                    EXPECT_EQ(code, s + 1) << "marker at " << x << "," << y;
                    markers++;
                }
            }
        for (int code = 1; code <= link_count; code++)
            EXPECT_GE(edges[code], 2 * 24 + 2 * 12) << "the outline of code " << code;
        EXPECT_GT(markers, 0);
    }
}

TEST(art, play_time_box_is_the_font_background_on_every_screen) {
    const int background = font_background_of(art()[font_file]);
    EXPECT_EQ(background, font_background);
    for (int s = 0; s < screen_pictures; s++) {
        const giflib::picture& p = art()[screen_files[s]];
        int wrong = 0;
        for (int y = time_box.y; y < time_box.y + time_box.h; y++)
            for (int x = time_box.x; x < time_box.x + time_box.w; x++)
                wrong += at(p, x, y) != background;
        EXPECT_EQ(wrong, 0) << screen_files[s];
    }
    // The box is what the play time needs: right edge at 509, rows 38 to 49,
    // room for six characters ("100:00").
    EXPECT_EQ(time_box.x + time_box.w - 1, 509);
    EXPECT_EQ(time_box.x, 514 - 8 * 6);
    EXPECT_EQ(time_box.y, 38);
    EXPECT_EQ(time_box.h, font_height);
}

class art_reader : public ::testing::Test {
  protected:
    void SetUp() override {
        fake::reset();
        h_deinit();
        open_archive("");
        previous = std::filesystem::current_path();
        std::filesystem::current_path(KORVITE_ASSETS_DIR);
    }
    void TearDown() override { std::filesystem::current_path(previous); }
    std::filesystem::path previous;
};

TEST_F(art_reader, our_reader_decodes_every_picture_as_giflib_does) {
    for (const std::string& name : all_files()) {
        SCOPED_TRACE(name);
        const giflib::picture& oracle = art()[name];
        uint8_t* pixels = nullptr;
        ASSERT_EQ(l_loadgif(name.c_str(), &pixels, 2, 0), 2);
        EXPECT_EQ(l_width, oracle.width);
        EXPECT_EQ(l_height, oracle.height);
        EXPECT_EQ(bytes(l_palette, l_palette + 768), oracle.table);
        EXPECT_EQ(bytes(pixels, pixels + size_t(oracle.width) * oracle.height), oracle.pixels);
        free(pixels);
    }
}

TEST(art, drawing_again_gives_the_same_bytes) {
    scratch_dir dir;
    std::string command = std::string(KORVITE_ARTGEN) + " " + dir.root.string() + " " +
                          KORVITE_TUNES_DIR + " " + KORVITE_FONT_DIR;
    ASSERT_EQ(std::system(command.c_str()), 0);
    for (const std::string& name : all_files())
        EXPECT_TRUE(read_file(dir.path(name)) == art().files.at(name)) << name;
}

// The quantiser: a palette colour stays that entry on every pixel, however
// the dither thresholds fall; a colour between two neighbouring levels
// mixes just those two, in proportion; the kept entries are never chosen.
TEST(art, quantiser_keeps_palette_colours_and_mixes_neighbours) {
    const bytes& p = palette_rgb();
    canvas flat(16, 16);
    for (int entry : {0, int(font_background), 20, 100, 200, 253}) {
        rgb colour = {float(p[3 * entry]), float(p[3 * entry + 1]), float(p[3 * entry + 2])};
        for (rgb& px : flat.pixels) px = colour;
        indexed q = quantise(flat);
        for (uint8_t v : q.pixels) {
            ASSERT_EQ(std::memcmp(&p[3 * v], &p[3 * entry], 3), 0) << entry;
        }
    }
    // A quarter of the way from ink level 10 to level 11.
    rgb a = level_colour(ramp::ink, 10), b = level_colour(ramp::ink, 11);
    for (rgb& px : flat.pixels) px = mix(a, b, 0.25f);
    indexed q = quantise(flat);
    std::map<int, int> counts;
    for (uint8_t v : q.pixels) counts[v]++;
    ASSERT_EQ(counts.size(), 2u);
    EXPECT_NEAR(counts[ramp_index(ramp::ink, 11)], 64, 8);
    EXPECT_EQ(counts[ramp_index(ramp::ink, 10)] + counts[ramp_index(ramp::ink, 11)], 256);
    // The kept outline and marker colours themselves map elsewhere.
    for (int kept : {edge_index, marker_index}) {
        for (rgb& px : flat.pixels)
            px = {float(p[3 * kept]), float(p[3 * kept + 1]), float(p[3 * kept + 2])};
        for (uint8_t v : quantise(flat).pixels) ASSERT_LT(v, edge_index);
    }
}

}  // namespace
