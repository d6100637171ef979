// fuzz/jpeg.cpp -- the JPEG reader in every output form. The input's first
// byte picks the type (its value modulo 5: 0 the default, 1 grey levels, 2 the
// palette form the reader refuses, 3 16-bit, 4 32-bit); the rest is the file,
// loaded through l_loadpic as start-up loads a picture.
#include "fuzz/harness.h"

// Result codes: 1 grey levels, 2 16-bit pixels, 3 32-bit pixels.
static int32_t jpeg_bytes(int32_t result) {
    return result == 3 ? 4 : result;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    fuzz_picture(fuzz_file(data + 1, size - 1, ".jpg"), data[0] % 5, jpeg_bytes);
    return 0;
}
