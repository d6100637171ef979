// pictures/gif.cpp -- the GIF reader.
#include "pictures/gif.h"

#include "system/sys.h"

int32_t l_loadgif(const char* name, uint8_t**, int32_t, int32_t) {
    s_panic("l_loadgif: %s: no GIF reader in this build", name);
}
