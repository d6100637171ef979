// tests/e2e_support.h -- what the end-to-end tests share: the built music disk
// run as a process of its own, the frame it should show worked out from the
// pictures alone, the pixel values a display of each depth then holds, the play
// time read back from the window, the link areas found in the link map, and the
// sound the disk writes through SDL's disk audio driver.
//
// The tests start their own X server (tests/xserver.h) before a disk; the disk
// inherits its DISPLAY.
#pragma once
#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/xwd.h"

namespace e2e {

// The build tree this test belongs to, and the disk in it.
std::string build_dir();
std::string disk_program();

// A fresh, empty directory of the test's own under /tmp, removed with the object.
class scratch_dir {
  public:
    scratch_dir();
    ~scratch_dir();
    scratch_dir(const scratch_dir&) = delete;
    scratch_dir& operator=(const scratch_dir&) = delete;
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

// One run of the disk: a process group of its own started in dir with args,
// its stderr kept in a file, its sound written to a file by SDL's disk driver.
// Whatever of the group still runs when the object goes is killed.
class disk {
  public:
    explicit disk(const std::vector<std::string>& args = {}, const std::string& dir = build_dir(),
                  const std::string& program = disk_program());
    ~disk();
    disk(const disk&) = delete;
    disk& operator=(const disk&) = delete;

    // The disk's window (its caption is the title line), once it is mapped; empty
    // if it does not come.
    std::string window();
    // The exit status once the process has ended, waiting at most timeout_ms;
    // -1 if it is still running then (it is then killed), 128 + n after signal n.
    int wait(int timeout_ms = 10000);
    bool running();
    // Everything the disk has written to stderr so far.
    std::string errors() const;

    // Bytes of sound written so far, and length bytes from offset once the file
    // holds them (waiting at most timeout_ms; empty if it does not get there).
    size_t sound_size() const;
    std::vector<uint8_t> sound(size_t offset, size_t length, int timeout_ms = 5000) const;

  private:
    void end_group();
    pid_t pid_ = -1;
    int status_ = -1;
    bool reaped_ = false;
    std::string errors_path_, sound_path_;
};

// The frame the disk builds for a screen with the play time drawn on it: 660 x
// 300 pixels of 5-6-5, worked out from the artwork's GIF files with giflib.
std::vector<uint16_t> expected_frame(int screen, const std::string& time);

// How a display shows a 5-6-5 frame pixel: its own pixel value at depth 24, 16
// or 15, for the DirectDraw-style converters or the GDI-style stretch.
uint32_t shown(uint16_t pixel, int depth, bool gdi);

// Every window pixel against the frame stretched to the window's size by the
// nearest pixel. Empty when all agree, otherwise what differs, for a message.
std::string differences(const xwd_image& image, const std::vector<uint16_t>& frame, int depth,
                        bool gdi);
// Reads the window back until it shows the frame or timeout_ms pass; empty when
// it does, otherwise the differences last seen.
std::string wait_for_frame(const std::string& id, const std::vector<uint16_t>& frame, int depth,
                           bool gdi, int timeout_ms = 8000);

// The play time drawn in the window ("0:07"), read glyph by glyph from the
// right edge of the time; "?" where no glyph of the font matches.
std::string read_time(const xwd_image& image, int depth, bool gdi);
// Seconds of a time as read_time gives it; -1 for one that did not read.
int seconds_of(const std::string& time);

// A spot well inside the area of a link code, in frame pixels: the pixel of
// that code nearest the middle of its area whose neighbours within three pixels
// all have the code too. {-1, -1} if the map has none.
struct spot {
    int x, y;
};
spot link_spot(int code);
// The link code of the map at a frame pixel.
int link_code(int x, int y);

// Clicks the left button repeat times on a frame pixel of the window, scaled to
// a window of width x height pixels as the stretch shows it. Clicks of a
// repeat come 40 ms apart, so that the player takes each on a pass of its own.
void click(const std::string& id, spot at, int width = 660, int height = 300, int repeat = 1);

}  // namespace e2e
