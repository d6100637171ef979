// The RIX reader, on files built byte by byte in a scratch folder.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "data/heap.h"
#include "pictures/picture.h"
#include "pictures/rix.h"
#include "tests/loader_fixture.h"
#include "tests/scratch.h"

namespace {

using bytes = std::vector<uint8_t>;

constexpr uint8_t untouched = 0xA5;

// Signature, width, height, the two unread bytes, the six-bit palette and the
// pixels, exactly as given.
bytes rix_file(uint16_t width, uint16_t height, const bytes& palette, const bytes& pixels,
               const std::string& signature = "RIX3", bytes unread = {0, 0}) {
    bytes out(signature.begin(), signature.end());
    out.insert(out.end(),
               {uint8_t(width), uint8_t(width >> 8), uint8_t(height), uint8_t(height >> 8)});
    out.insert(out.end(), unread.begin(), unread.end());
    out.insert(out.end(), palette.begin(), palette.end());
    out.insert(out.end(), pixels.begin(), pixels.end());
    return out;
}

bytes ramp_palette() {
    bytes p(768);
    for (int i = 0; i < 768; ++i) p[i] = uint8_t(i % 64);
    return p;
}

class Rix : public loader_test {
  protected:
    struct loaded {
        int32_t result, width, height;
        bytes pixels, palette, after;  // after: the 16 heap bytes past the picture
    };

    // Loads into the internal heap, filled with a pattern first.
    loaded load(const bytes& file, int32_t type = 0) {
        dir.write("pic.rix", file);
        h_init(1 << 20);
        fill_heap(untouched);
        uint8_t* p = nullptr;
        int32_t result = l_loadrix("pic.rix", &p, type, 2);
        size_t count = size_t(l_width) * size_t(l_height);
        loaded l{result,
                 l_width,
                 l_height,
                 bytes(p, p + count),
                 bytes(l_palette, l_palette + 768),
                 bytes(p + count, p + count + 16)};
        h_deinit();
        return l;
    }

    void expect_refused(const bytes& file, const char* message) {
        dir.write("bad.rix", file);
        uint8_t* p = nullptr;
        EXPECT_EXIT(l_loadrix("bad.rix", &p, 0, 0), testing::ExitedWithCode(1), message);
    }
};

TEST_F(Rix, APictureLoadsWithItsPaletteShiftedToEightBits) {
    bytes palette = ramp_palette();
    palette[0] = 63, palette[1] = 1, palette[2] = 64, palette[3] = 255, palette[767] = 0x41;
    // Neither the fourth signature byte nor the two bytes after the size count.
    loaded got = load(rix_file(2, 2, palette, {9, 8, 7, 255}, "RIX!", {0xFF, 0xEE}));
    EXPECT_EQ(got.result, 2);
    EXPECT_EQ(got.width, 2);
    EXPECT_EQ(got.height, 2);
    EXPECT_EQ(got.pixels, (bytes{9, 8, 7, 255}));
    EXPECT_EQ(got.palette[0], 252);
    EXPECT_EQ(got.palette[1], 4);
    EXPECT_EQ(got.palette[2], 0);  // the top bits of a value above 63 are lost
    EXPECT_EQ(got.palette[3], 252);
    EXPECT_EQ(got.palette[4], 4 * 4);
    EXPECT_EQ(got.palette[767], 4);
    EXPECT_EQ(got.after, bytes(16, untouched));
    EXPECT_EQ(load(rix_file(2, 2, palette, {1, 2, 3, 4}), 2).result, 2);
}

TEST_F(Rix, TheFileMustBeARixFileOfExactlyItsLength) {
    bytes good = rix_file(2, 2, ramp_palette(), {1, 2, 3, 4});
    ASSERT_EQ(good.size(), 782u);
    bytes short_one(good.begin(), good.end() - 1), long_one = good;
    long_one.push_back(0);
    const struct {
        const char* what;
        bytes file;
        const char* message;
    } cases[] = {
        {"9 bytes", bytes(good.begin(), good.begin() + 9),
         "l_loadrix: bad\\.rix is not a RIX file"},
        {"an empty file", {}, "l_loadrix: bad\\.rix is not a RIX file"},
        {"small letters", rix_file(2, 2, ramp_palette(), {1, 2, 3, 4}, "rix3"),
         "l_loadrix: bad\\.rix is not a RIX file"},
        {"781 bytes", short_one, "l_loadrix: bad\\.rix is a damaged file"},
        {"783 bytes", long_one, "l_loadrix: bad\\.rix is a damaged file"},
        {"10 bytes", bytes(good.begin(), good.begin() + 10),
         "l_loadrix: bad\\.rix is a damaged file"},
        {"a size no file of this length holds", rix_file(65535, 65535, ramp_palette(), {}),
         "l_loadrix: bad\\.rix is a damaged file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        expect_refused(c.file, c.message);
    }
}

TEST_F(Rix, AnEmptyPictureLoadsWithoutTouchingTheHeap) {
    for (auto [width, height] : {std::pair{0, 0}, {0, 7}, {7, 0}}) {
        loaded got = load(rix_file(uint16_t(width), uint16_t(height), ramp_palette(), {}));
        EXPECT_EQ(got.width, width);
        EXPECT_EQ(got.height, height);
        EXPECT_EQ(got.after, bytes(16, untouched));
    }
}

TEST_F(Rix, TypeOneGivesGreyLevelsAndTheRamp) {
    bytes palette(768);
    // Entry 1 is (200, 100, 48) after the shift, entry 2 white, entry 3 (4, 4, 4).
    palette[3] = 50, palette[4] = 25, palette[5] = 12;
    palette[6] = palette[7] = palette[8] = 63;
    palette[9] = palette[10] = palette[11] = 1;
    loaded got = load(rix_file(4, 1, palette, {0, 1, 2, 3}), 1);
    EXPECT_EQ(got.result, 1);
    EXPECT_EQ(got.pixels, (bytes{0, 123, 252, 3}));
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(got.palette[3 * i], i);
        EXPECT_EQ(got.palette[3 * i + 2], i);
    }
}

TEST_F(Rix, OtherTypesAreRefusedBeforeTheFileIsRead) {
    for (int32_t type : {3, 4, -1, 7}) {
        uint8_t* p = nullptr;
        EXPECT_EXIT(l_loadrix("absent.rix", &p, type, 0), testing::ExitedWithCode(1),
                    "l_loadrix: absent\\.rix cannot be converted")
            << type;
    }
}

}  // namespace
