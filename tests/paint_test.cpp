// paint_screen on plain memory: every pixel its palette entry, at any length
// and alignment, and nothing written past the end.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "app/paint.h"

namespace {

TEST(Paint, EveryPixelBecomesItsPaletteEntry) {
    std::mt19937 random(14);
    std::vector<uint16_t> palette(256);
    for (uint16_t& p : palette) p = static_cast<uint16_t>(random());
    std::vector<uint8_t> pixels(660 * 300 + 64);
    for (uint8_t& p : pixels) p = static_cast<uint8_t>(random());
    // Lengths around the 32- and 64-pixel steps, a whole frame, uneven starts.
    for (int32_t count : {0, 1, 31, 32, 33, 63, 64, 65, 95, 127, 128, 129, 1000, 660 * 300})
        for (int32_t offset : {0, 1, 3}) {
            std::vector<uint16_t> frame(count + 8, 0xAAAA);
            paint_screen(frame.data() + offset % 2, pixels.data() + offset, palette.data(), count);
            int64_t wrong = 0;
            for (int32_t i = 0; i < count; ++i)
                wrong += frame[offset % 2 + i] != palette[pixels[offset + i]];
            EXPECT_EQ(wrong, 0) << count << " from " << offset;
            EXPECT_EQ(frame[offset % 2 + count], 0xAAAA) << count << " from " << offset;
            EXPECT_TRUE(offset % 2 == 0 || frame[0] == 0xAAAA) << "before " << count;
        }
}

}  // namespace
