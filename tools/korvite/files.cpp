// tools/korvite/files.cpp -- the commands' fatal error, whole-file reads and
// atomic writes.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tools/korvite/tool.h"

// The temporary file being written, so that an interrupted run removes it.
static char pending[4096];

static void remove_pending(int signal) {
    if (pending[0]) unlink(pending);
    _exit(128 + signal);
}

void die(const char* format, ...) {
    fputs("korvite: ", stderr);
    va_list args;
    va_start(args, format);
    vfprintf(stderr, format, args);
    va_end(args);
    fputc('\n', stderr);
    exit(1);
}

std::vector<uint8_t> read_file(const std::string& path) {
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) die("cannot read %s: %s", path.c_str(), strerror(errno));
    std::vector<uint8_t> bytes;
    uint8_t chunk[65536];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, f)) > 0) bytes.insert(bytes.end(), chunk, chunk + n);
    if (ferror(f)) die("cannot read %s: %s", path.c_str(), strerror(errno));
    fclose(f);
    return bytes;
}

mode_t file_mode(const std::string& path) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0) die("cannot read %s: %s", path.c_str(), strerror(errno));
    return st.st_mode & 07777;
}

// The folder part of path, "." when there is none.
static std::string folder_of(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// False, with errno set, when not every byte could be written.
static bool write_all(int fd, const std::vector<uint8_t>& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = EIO;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

void write_file_atomically(const std::string& path, const std::vector<uint8_t>& bytes,
                           mode_t mode) {
    std::string base = path.substr(path.rfind('/') + 1);
    std::string temp = folder_of(path) + "/." + base + ".XXXXXX";
    if (temp.size() >= sizeof pending) die("%s: path too long", path.c_str());
    memcpy(pending, temp.c_str(), temp.size() + 1);
    signal(SIGINT, remove_pending);
    signal(SIGTERM, remove_pending);
    signal(SIGHUP, remove_pending);
    int fd = mkstemp(pending);
    if (fd < 0) {
        pending[0] = '\0';
        die("cannot write %s: %s", path.c_str(), strerror(errno));
    }
    int error = write_all(fd, bytes) ? 0 : errno;
    if (error == 0 && fchmod(fd, mode) != 0) error = errno;
    if (error == 0 && fsync(fd) != 0) error = errno;
    if (close(fd) != 0 && error == 0) error = errno;
    if (error == 0 && rename(pending, path.c_str()) != 0) error = errno;
    if (error != 0) {
        unlink(pending);
        pending[0] = '\0';
        die("cannot write %s: %s", path.c_str(), strerror(error));
    }
    pending[0] = '\0';
}
