// pictures/jpeg.cpp -- the JPEG reader.
#include "pictures/jpeg.h"

#include "system/sys.h"

int32_t l_loadjpeg(const char* name, uint8_t**, int32_t, int32_t) {
    s_panic("l_loadjpeg: %s: no JPEG reader in this build", name);
}
