// tools/korvite/decode.cpp -- korvite decode: a picture loaded exactly as the
// player loads it, its size and result code, and its pixels, palette and a
// viewable image written out on request.
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "data/archive.h"
#include "data/heap.h"
#include "pictures/picture.h"
#include "tools/korvite/picture_out.h"
#include "tools/korvite/tool.h"

namespace {

// Room in the internal heap for a picture of 8192 x 8192 pixels of 4 bytes,
// and some to spare for alignment.
constexpr int32_t heap_size = 8192 * 8192 * 4 + 65536;

// The alignment exponent start-up gives every picture.
constexpr int32_t picture_alignment = 2;

struct decode_options {
    const char* file = nullptr;
    int32_t type = 0;
    const char* raw = nullptr;
    const char* palette = nullptr;
    const char* ppm = nullptr;
    const char* from = nullptr;
};

int32_t parse_type(const char* text) {
    char* end = nullptr;
    errno = 0;
    long value = strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || value < INT32_MIN || value > INT32_MAX) {
        fprintf(stderr, "korvite: decode: --type takes a number, not %s\n", text);
        usage_error("decode");
    }
    return static_cast<int32_t>(value);
}

// Options may stand before or after FILE; "--" ends them.
decode_options parse_options(int argc, char** argv) {
    decode_options o;
    bool options = true;
    for (int i = 0; i < argc; ++i) {
        const char* arg = argv[i];
        if (options && strncmp(arg, "--", 2) == 0) {
            const char** value = nullptr;
            if (strcmp(arg, "--") == 0) {
                options = false;
                continue;
            }
            if (strcmp(arg, "--raw") == 0) value = &o.raw;
            if (strcmp(arg, "--palette") == 0) value = &o.palette;
            if (strcmp(arg, "--ppm") == 0) value = &o.ppm;
            if (strcmp(arg, "--from") == 0) value = &o.from;
            bool type = strcmp(arg, "--type") == 0;
            if (!value && !type) {
                fprintf(stderr, "korvite: decode: unknown option %s\n", arg);
                usage_error("decode");
            }
            if (i + 1 == argc) usage_error("decode");
            if (type)
                o.type = parse_type(argv[++i]);
            else
                *value = argv[++i];
        } else if (!o.file) {
            o.file = arg;
        } else {
            usage_error("decode");
        }
    }
    if (!o.file) usage_error("decode");
    return o;
}

}  // namespace

// Fatal errors of the loading come through the engine's own road: the message
// on stderr and status 1, before anything has been written.
int decode_command(int argc, char** argv) {
    decode_options o = parse_options(argc, argv);
    if (o.from) open_archive(o.from);
    h_init(heap_size);
    uint8_t* pixels = nullptr;
    int32_t result = l_loadpic(o.file, &pixels, o.type, picture_alignment);
    pixel_form form;
    if (!form_of(o.file, result, &form)) die("%s: unexpected result %d", o.file, result);
    size_t size = size_t(l_width) * size_t(l_height) * size_t(bytes_per_pixel(form));

    std::vector<uint8_t> ppm;
    std::vector<output_file> outputs;
    mode_t mode = new_file_mode();
    if (o.raw) outputs.push_back({o.raw, pixels, size, mode});
    if (o.palette) outputs.push_back({o.palette, l_palette, sizeof l_palette, mode});
    if (o.ppm) {
        ppm = ppm_image(pixels, l_width, l_height, form, l_palette);
        outputs.push_back({o.ppm, ppm.data(), ppm.size(), mode});
    }
    write_files_atomically(outputs);
    printf("%d %d %d\n", l_width, l_height, result);
    if (fflush(stdout) != 0) die("cannot write to stdout: %s", strerror(errno));
    h_deinit();
    return 0;
}
