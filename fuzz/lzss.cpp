// fuzz/lzss.cpp -- the LZSS decoder on a raw stream with chosen sizes. The
// input's first two bytes give the unpacked size, the next two the stored size
// (16-bit little-endian each); the rest is the stream, which the decoder reads
// from a file as l_loadfile hands one over: open, at the stream's first byte.
#include <cstdio>
#include <vector>

#include "data/lzss.h"
#include "fuzz/harness.h"

namespace {

struct stream {
    FILE* file;
    uint8_t* output;
    int32_t size, stored;
};

void decode(void* context) {
    stream* s = static_cast<stream*>(context);
    lzss_decode(s->file, s->output, s->size, s->stored);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) return 0;
    int32_t unpacked = data[0] | data[1] << 8;
    int32_t stored = data[2] | data[3] << 8;
    FILE* file = fopen(fuzz_file(data + 4, size - 4, ".lzss"), "rb");
    if (!file) fuzz_fail("cannot open the input file");
    // Exactly the unpacked size, so that a write past it is caught.
    std::vector<uint8_t> output(static_cast<size_t>(unpacked));
    stream s{file, output.data(), unpacked, stored};
    if (fuzz_run(decode, &s) && ftell(file) > stored)
        fuzz_fail("lzss_decode read past the stored size");
    fclose(file);
    return 0;
}
