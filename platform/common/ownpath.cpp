// platform/common/ownpath.cpp -- the program's own file on Linux.
#include <unistd.h>

#include "platform/desktop.h"

bool os_modulefilename(char* buffer, uint32_t size) {
    if (size == 0) return false;
    ssize_t n = readlink("/proc/self/exe", buffer, size);
    if (n <= 0 || static_cast<uint32_t>(n) >= size) {
        buffer[0] = '\0';
        return false;
    }
    buffer[n] = '\0';
    return true;
}

void* os_instance() {
    static int token;
    return &token;
}
