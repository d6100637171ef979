// e2e_screenshots -- runs the built disk under an X server of its own and saves
// two screens as it shows them, read back from the window: the intro
// (intro.png) and a song playing (song.png), into the directory given.
// Each is saved only once it equals, pixel for pixel, the frame the pictures
// make. Not a test: the README's screenshots are made with it.
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "tests/e2e_support.h"
#include "tests/png_out.h"
#include "tests/xserver.h"

namespace {

using namespace std::chrono_literals;

// Waits (up to ten seconds) for the window to show screen with a play time of
// at least min_seconds, and saves that frame.
bool save(const std::string& id, int screen, int min_seconds, const std::string& path) {
    for (int i = 0; i < 200; ++i, std::this_thread::sleep_for(50ms)) {
        xwd_image image;
        if (!xwd_read(id, &image)) continue;
        std::string time = e2e::read_time(image, 24, false);
        if (e2e::seconds_of(time) < min_seconds) continue;
        if (!e2e::differences(image, e2e::expected_frame(screen, time), 24, false).empty())
            continue;
        bool ok = png_write(path, image);
        fprintf(stderr, "%s: screen %d at %s%s\n", path.c_str(), screen, time.c_str(),
                ok ? "" : ": could not write it");
        return ok;
    }
    fprintf(stderr, "%s: screen %d did not show\n", path.c_str(), screen);
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: e2e_screenshots DIR\n");
        return 2;
    }
    std::string dir = argv[1];
    x_server x(24);
    if (!x.ok()) return fprintf(stderr, "e2e_screenshots: no X server\n"), 1;
    e2e::disk disk;
    std::string id = disk.window();
    if (id.empty()) return fprintf(stderr, "e2e_screenshots: no window\n"), 1;
    bool ok = save(id, 0, 0, dir + "/intro.png");
    const int song = 3;  // link code song + 1
    e2e::click(id, e2e::link_spot(song + 1));
    ok = save(id, song, 7, dir + "/song.png") && ok;
    x_press_until_gone(id, "Escape", false);
    return disk.wait() == 0 && ok ? 0 : 1;
}
