// video/display.cpp -- display initialisation, presenting and release.
#include "video/display.h"

void v_release() {
    // No output path is built yet, so there is nothing to hand back.
}
