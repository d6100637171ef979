// fuzz/rix.cpp -- the RIX reader on a whole file, loaded through l_loadpic as
// start-up loads a picture. The type is grey levels (1): the reader copies the
// pixels exactly as for palette indices (2) and then turns every one through
// the palette, so each input covers both.
#include "fuzz/harness.h"

static int32_t one_byte(int32_t) {
    return 1;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz_picture(fuzz_file(data, size, ".rix"), 1, one_byte);
    return 0;
}
