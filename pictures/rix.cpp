// pictures/rix.cpp -- the RIX reader.
#include "pictures/rix.h"

#include "system/sys.h"

int32_t l_loadrix(const char* name, uint8_t**, int32_t, int32_t) {
    s_panic("l_loadrix: %s: no RIX reader in this build", name);
}
