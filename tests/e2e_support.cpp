// tests/e2e_support.cpp -- the disk as a process, the expected frames, the
// display formats, the play time read back, the link areas and the sound.
#include "tests/e2e_support.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "app/title.h"
#include "tests/giflib_oracle.h"
#include "tests/xserver.h"

extern char** environ;

namespace e2e {

using namespace std::chrono_literals;
using clock_type = std::chrono::steady_clock;

std::string build_dir() {
    return KORVITE_BUILD_DIR;
}
std::string disk_program() {
    return build_dir() + "/musicdisk";
}

// ---- scratch directories ------------------------------------------------

scratch_dir::scratch_dir() {
    char name[] = "/tmp/korvite-e2e-XXXXXX";
    if (mkdtemp(name)) path_ = name;
}

scratch_dir::~scratch_dir() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
}

// ---- the disk as a process ----------------------------------------------

static std::string temp_file(const char* what) {
    std::string name = std::string("/tmp/korvite-e2e-") + what + "-XXXXXX";
    std::vector<char> path(name.begin(), name.end());
    path.push_back('\0');
    int fd = mkstemp(path.data());
    if (fd < 0) return "";
    close(fd);
    return path.data();
}

// The test's own environment with the sound sent to a file and any other
// driver choice of the caller's taken out.
static std::vector<std::string> disk_environment(const std::string& sound_path) {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        std::string entry = *e;
        if (entry.rfind("SDL_", 0) != 0) env.push_back(entry);
    }
    env.push_back("SDL_AUDIODRIVER=disk");
    env.push_back("SDL_DISKAUDIOFILE=" + sound_path);
    return env;
}

disk::disk(const std::vector<std::string>& args, const std::string& dir,
           const std::string& program) {
    errors_path_ = temp_file("stderr");
    sound_path_ = temp_file("sound");
    std::vector<std::string> env = disk_environment(sound_path_);
    std::vector<char*> argv{const_cast<char*>(program.c_str())}, envp;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    for (const std::string& e : env) envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    // Everything the child needs is prepared above: after fork only system calls.
    pid_ = fork();
    if (pid_ == 0) {
        setpgid(0, 0);
        int err = open(errors_path_.c_str(), O_WRONLY | O_TRUNC);
        int null = open("/dev/null", O_RDWR);
        if (err < 0 || null < 0 || chdir(dir.c_str()) != 0) _exit(126);
        dup2(null, 0), dup2(null, 1), dup2(err, 2);
        for (int fd = 3; fd < 256; ++fd) close(fd);
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    if (pid_ > 0) setpgid(pid_, pid_);  // also from here, so no kill can come before it
}

disk::~disk() {
    if (pid_ > 0 && !reaped_) {
        end_group();
        waitpid(pid_, nullptr, 0);
    }
    unlink(errors_path_.c_str());
    unlink(sound_path_.c_str());
}

// Kills what is left of the disk's process group. It is called while the disk
// itself is not yet reaped, so its id still names this group and no other.
void disk::end_group() {
    kill(-pid_, SIGKILL);
}

std::string disk::window() {
    return pid_ > 0 ? x_window(title_line) : "";
}

bool disk::running() {
    if (pid_ <= 0 || reaped_) return false;
    siginfo_t info{};
    return waitid(P_PID, pid_, &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid == 0;
}

int disk::wait(int timeout_ms) {
    if (pid_ <= 0) return -1;
    auto deadline = clock_type::now() + std::chrono::milliseconds(timeout_ms);
    while (!reaped_ && running() && clock_type::now() < deadline) std::this_thread::sleep_for(10ms);
    if (!reaped_) {
        bool ended = !running();
        end_group();
        int status = 0;
        waitpid(pid_, &status, 0);
        reaped_ = true;
        status_ = !ended ? -1 : WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    return status_;
}

static std::vector<uint8_t> file_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

std::string disk::errors() const {
    std::vector<uint8_t> bytes = file_bytes(errors_path_);
    return std::string(bytes.begin(), bytes.end());
}

size_t disk::sound_size() const {
    struct stat s {};
    return stat(sound_path_.c_str(), &s) == 0 ? static_cast<size_t>(s.st_size) : 0;
}

std::vector<uint8_t> disk::sound(size_t offset, size_t length, int timeout_ms) const {
    auto deadline = clock_type::now() + std::chrono::milliseconds(timeout_ms);
    while (sound_size() < offset + length) {
        if (clock_type::now() >= deadline) return {};
        std::this_thread::sleep_for(20ms);
    }
    std::ifstream in(sound_path_, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(offset));
    std::vector<uint8_t> bytes(length);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(length));
    return bytes;
}

// ---- the artwork and the expected frames --------------------------------

namespace {

constexpr int width = 660, height = 300, font_width = 84;

const char* const screen_files[16] = {
    "intro.gif", "1.gif",       "2.gif",       "3.gif",         "4.gif",  "5.gif",
    "6.gif",     "7.gif",       "8.gif",       "9.gif",         "10.gif", "11.gif",
    "12.gif",    "modinfo.gif", "credits.gif", "greetings.gif",
};

struct artwork {
    giflib::picture links, digits, screens[16];
    uint16_t pal16[256] = {};
};

giflib::picture read_gif(const char* name) {
    return giflib::read(file_bytes(build_dir() + "/assets/" + name));
}

// Read once per test program; the pictures do not change while it runs.
const artwork& art() {
    static const artwork loaded = [] {
        artwork a;
        a.links = read_gif("links.gif");
        a.digits = read_gif("numbers.gif");
        for (int i = 0; i < 16; ++i) a.screens[i] = read_gif(screen_files[i]);
        // Every picture is drawn through the palette of the last one loaded,
        // greetings.gif: red and blue keep their top five bits, green six.
        const giflib::bytes& t = a.screens[15].table;
        for (size_t i = 0; i < 256 && 3 * i + 2 < t.size(); ++i)
            a.pal16[i] = static_cast<uint16_t>((t[3 * i] >> 3) << 11 | (t[3 * i + 1] >> 2) << 5 |
                                               t[3 * i + 2] >> 3);
        return a;
    }();
    return loaded;
}

struct glyph {
    int first, width;
};

glyph glyph_of(char c) {
    return c == ':' ? glyph{80, 4} : glyph{8 * (c - '0'), 8};
}

uint16_t font_pixel(const glyph& g, int row, int column) {
    return art()
        .pal16[art().digits.pixels[static_cast<size_t>(row) * font_width + g.first + column]];
}

}  // namespace

std::vector<uint16_t> expected_frame(int screen, const std::string& time) {
    const artwork& a = art();
    std::vector<uint16_t> frame(width * height, 0);
    if (a.screens[screen].pixels.size() != frame.size() || a.digits.width != font_width)
        return frame;
    for (size_t i = 0; i < frame.size(); ++i) frame[i] = a.pal16[a.screens[screen].pixels[i]];
    // Right-aligned: the text ends at column 509 whatever its length.
    int x = 514 - 8 * static_cast<int>(time.size());
    for (char c : time) {
        glyph g = glyph_of(c);
        for (int r = 0; r < 12; ++r)
            for (int k = 0; k < g.width; ++k) frame[(38 + r) * width + x + k] = font_pixel(g, r, k);
        x += g.width;
    }
    return frame;
}

// ---- display formats ----------------------------------------------------

uint32_t shown(uint16_t v, int depth, bool gdi) {
    uint32_t r = v >> 11, g = (v >> 5) & 63, b = v & 31;
    if (depth == 16) return v;
    if (depth == 15) return r << 10 | (g >> 1) << 5 | b;
    if (gdi)  // widened by repeating the top bits
        return (r << 3 | r >> 2) << 16 | (g << 2 | g >> 4) << 8 | (b << 3 | b >> 2);
    // The converters scale each byte of the pixel on its own: green is the sum
    // of its low three bits and its high three bits, each scaled as six-bit.
    auto e5 = [](uint32_t x) { return x * 255 / 31; };
    auto e6 = [](uint32_t x) { return x * 255 / 63; };
    return e5(r) << 16 | (e6(g & 7) + e6((g >> 3) * 8)) << 8 | e5(b);
}

static uint32_t value_mask(int depth) {
    return depth == 24 ? 0xFFFFFF : depth == 16 ? 0xFFFF : 0x7FFF;
}

std::string differences(const xwd_image& image, const std::vector<uint16_t>& frame, int depth,
                        bool gdi) {
    if (image.width <= 0 || image.height <= 0 || frame.size() != size_t{width * height})
        return "no picture read";
    uint32_t mask = value_mask(depth);
    int64_t wrong = 0;
    std::string first;
    for (int32_t ty = 0; ty < image.height; ++ty)
        for (int32_t tx = 0; tx < image.width; ++tx) {
            int fx = static_cast<int>(int64_t{tx} * width / image.width);
            int fy = static_cast<int>(int64_t{ty} * height / image.height);
            uint32_t want = shown(frame[fy * width + fx], depth, gdi);
            uint32_t got = image.pixel(tx, ty) & mask;
            if (got == want) continue;
            if (wrong++ == 0) {
                char text[96];
                snprintf(text, sizeof text, "first at (%d, %d): 0x%06x, not 0x%06x", tx, ty, got,
                         want);
                first = text;
            }
        }
    return wrong == 0 ? "" : std::to_string(wrong) + " pixels differ, " + first;
}

std::string wait_for_frame(const std::string& id, const std::vector<uint16_t>& frame, int depth,
                           bool gdi, int timeout_ms) {
    auto deadline = clock_type::now() + std::chrono::milliseconds(timeout_ms);
    std::string last = "no window";
    while (!id.empty()) {
        xwd_image image;
        last = xwd_read(id, &image) ? differences(image, frame, depth, gdi) : "no picture read";
        if (last.empty() || clock_type::now() >= deadline) break;
        std::this_thread::sleep_for(50ms);
    }
    return last;
}

// ---- the play time read back --------------------------------------------

// The window pixel that shows frame pixel (x, y): with the frame stretched by
// the nearest pixel, the first window column and row that take it.
static uint32_t frame_pixel(const xwd_image& image, int x, int y, uint32_t mask) {
    int32_t tx = static_cast<int32_t>((int64_t{x} * image.width + width - 1) / width);
    int32_t ty = static_cast<int32_t>((int64_t{y} * image.height + height - 1) / height);
    return image.pixel(tx, ty) & mask;
}

static bool glyph_at(const xwd_image& image, int x, char c, int depth, bool gdi) {
    glyph g = glyph_of(c);
    uint32_t mask = value_mask(depth);
    for (int r = 0; r < 12; ++r)
        for (int k = 0; k < g.width; ++k)
            if (frame_pixel(image, x + k, 38 + r, mask) != shown(font_pixel(g, r, k), depth, gdi))
                return false;
    return true;
}

static char digit_at(const xwd_image& image, int x, int depth, bool gdi) {
    for (char c = '0'; c <= '9'; ++c)
        if (glyph_at(image, x, c, depth, gdi)) return c;
    return 0;
}

std::string read_time(const xwd_image& image, int depth, bool gdi) {
    if (image.width < width || image.height < height || art().digits.width != font_width)
        return "?";
    char ones = digit_at(image, 502, depth, gdi), tens = digit_at(image, 494, depth, gdi);
    if (!ones || !tens || !glyph_at(image, 490, ':', depth, gdi)) return "?";
    std::string minutes;
    for (int x = 482; x >= 0; x -= 8) {
        char d = digit_at(image, x, depth, gdi);
        if (!d) break;
        minutes.insert(minutes.begin(), d);
    }
    return minutes.empty() ? "?" : minutes + ":" + tens + ones;
}

int seconds_of(const std::string& time) {
    int m = 0, s = 0;
    return sscanf(time.c_str(), "%d:%d", &m, &s) == 2 ? 60 * m + s : -1;
}

// ---- link areas and clicks ----------------------------------------------

int link_code(int x, int y) {
    const giflib::picture& map = art().links;
    if (x < 0 || y < 0 || x >= map.width || y >= map.height) return -1;
    return map.pixels[static_cast<size_t>(y) * map.width + x];
}

static bool inside(int code, int x, int y) {
    for (int dy = -3; dy <= 3; ++dy)
        for (int dx = -3; dx <= 3; ++dx)
            if (link_code(x + dx, y + dy) != code) return false;
    return true;
}

spot link_spot(int code) {
    int left = width, right = -1, top = height, bottom = -1;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (link_code(x, y) == code) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
    spot best{-1, -1};
    int64_t best_distance = -1;
    int cx = (left + right) / 2, cy = (top + bottom) / 2;
    for (int y = top; y <= bottom; ++y)
        for (int x = left; x <= right; ++x) {
            if (!inside(code, x, y)) continue;
            int64_t d = int64_t{x - cx} * (x - cx) + int64_t{y - cy} * (y - cy);
            if (best_distance < 0 || d < best_distance) best = {x, y}, best_distance = d;
        }
    return best;
}

void click(const std::string& id, spot at, int window_width, int window_height, int repeat) {
    // The middle of the window pixels that show this frame pixel. No --sync: it
    // waits for the pointer to move, for ever when it is there already.
    int x = static_cast<int>((2 * int64_t{at.x} + 1) * window_width / (2 * width));
    int y = static_cast<int>((2 * int64_t{at.y} + 1) * window_height / (2 * height));
    x_command("xdotool mousemove --window " + id + " " + std::to_string(x) + " " +
                  std::to_string(y) + " click --repeat " + std::to_string(repeat) + " --delay 40 1",
              10 + repeat / 10);
}

}  // namespace e2e
