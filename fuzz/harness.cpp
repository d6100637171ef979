// fuzz/harness.cpp -- the input file, the runs of the engine that survive its
// fatal road, and the picture loads the reader targets share.
#include "fuzz/harness.h"

#include <unistd.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "data/archive.h"
#include "data/heap.h"
#include "fuzz/leftovers.h"
#include "pictures/picture.h"
#include "platform/fake/fake.h"
#include "system/sys_testing.h"

static std::string input_path;  // this process's input file, once named
static jmp_buf fatal_return;    // where the exit hook brings a fatal road back

static void remove_input() {
    unlink(input_path.c_str());
}

const char* fuzz_file(const uint8_t* data, size_t size, const char* extension) {
    if (input_path.empty()) {
        const char* tmp = getenv("TMPDIR");
        std::string folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : tmp ? tmp : "/tmp";
        input_path = folder + "/korvite-fuzz-" + std::to_string(getpid()) + extension;
        atexit(remove_input);
    }
    FILE* f = fopen(input_path.c_str(), "wb");
    if (!f || fwrite(data, 1, size, f) != size || fclose(f) != 0)
        fuzz_fail("cannot write the input file");
    return input_path.c_str();
}

// Takes the place of the process's exit at the end of the fatal road. The road
// has run its shutdown steps, shown its box and reached the exit by then; the
// frames it leaves are the engine's, which hold nothing to destroy.
[[noreturn]] static void back_to_harness(int) {
    longjmp(fatal_return, 1);
}

// The archive is forgotten by opening one that does not exist, which frees its
// directory and path through the engine's own steps; then what the fatal road
// left is released, and the heap and the fake's record of calls given back, so
// that a run ends holding no more than it began with (libFuzzer runs an input
// again to look for a leak when it does not).
static void end_run(bool fatal) {
    open_archive("");
    if (fatal)
        leftovers_release();
    else
        leftovers_forget();
    h_deinit();
    fake::reset();
}

bool fuzz_run(void (*body)(void* context), void* context) {
    fake::reset();
    fake::set_exit_hook(back_to_harness);
    s_forget_panic();
    h_init(fuzz_heap_size);
    leftovers_watch();
    if (setjmp(fatal_return) != 0) {
        end_run(true);
        return false;
    }
    body(context);
    end_run(false);
    return true;
}

namespace {

struct picture_load {
    const char* name;
    int32_t type;
    int32_t (*bytes_per_pixel)(int32_t result);
    int32_t result;
};

// The picture lies in the internal heap, whose unused part AddressSanitizer
// sees as poisoned: reading all of it shows whether it is as large as the
// reader says.
void load_picture(void* context) {
    picture_load* load = static_cast<picture_load*>(context);
    uint8_t* pixels = nullptr;
    load->result = l_loadpic(load->name, &pixels, load->type, fuzz_picture_alignment);
    size_t size = size_t(l_width) * size_t(l_height) * size_t(load->bytes_per_pixel(load->result));
    uint8_t sum = 0;
    for (size_t i = 0; i < size; ++i) sum = static_cast<uint8_t>(sum + pixels[i]);
    volatile uint8_t sink = sum;
    (void)sink;
}

}  // namespace

int32_t fuzz_picture(const char* name, int32_t type, int32_t (*bytes_per_pixel)(int32_t result)) {
    picture_load load{name, type, bytes_per_pixel, -1};
    return fuzz_run(load_picture, &load) ? load.result : -1;
}

void fuzz_fail(const char* what) {
    fprintf(stderr, "fuzz finding: %s\n", what);
    abort();
}

// libFuzzer calls this once before the first input; the replay main does not.
// Each of the thousands of inputs a second that end on the fatal road writes
// its message box line to stderr, so the stdio stream goes to /dev/null unless
// KORVITE_FUZZ_VERBOSE is set. Sanitizer reports and libFuzzer's own lines do
// not go through that stream and still show.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    if (getenv("KORVITE_FUZZ_VERBOSE")) return 0;
    if (FILE* null = fopen("/dev/null", "w")) stderr = null;
    return 0;
}
