// tools/artgen/main.cpp -- writes the default pictures of the disk:
//
//   artgen ASSETS_DIR TUNES_DIR FONT_DIR
//
// The sixteen screens, the link map links.gif and the digit font
// numbers.gif, in one palette, into ASSETS_DIR; the module information is
// read from the tunes in TUNES_DIR, the DejaVu faces from FONT_DIR. The same
// inputs give the same bytes.
#include <cstdio>
#include <string>

#include "tools/artgen/font.h"
#include "tools/artgen/frame.h"
#include "tools/artgen/gifout.h"
#include "tools/artgen/palette.h"
#include "tools/artgen/screens.h"
#include "tools/artgen/text.h"
#include "tools/artgen/tunes.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        fprintf(stderr, "usage: artgen ASSETS_DIR TUNES_DIR FONT_DIR\n");
        return 1;
    }
    const std::string out = argv[1];
    std::vector<tune_info> tunes = read_tunes(argv[2]);
    text_init(argv[3]);
    const std::vector<uint8_t>& palette = palette_rgb();
    write_gif(out + "/" + links_file, draw_links(), palette);
    write_gif(out + "/" + font_file, draw_font(), palette);
    for (int screen = 0; screen < screen_pictures; screen++) {
        indexed picture = quantise(draw_screen(screen, tunes));
        finish_frame(picture, screen);
        write_gif(out + "/" + screen_files[screen], picture, palette);
    }
    text_done();
    return 0;
}
