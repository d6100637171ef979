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

// The temporary files being written, so that an interrupted run removes them.
static constexpr size_t max_pending = 8;
static char pending[max_pending][4096];

static void remove_pending(int signal) {
    for (const char* name : pending)
        if (name[0]) unlink(name);
    _exit(128 + signal);
}

// Removes the temporary files not yet renamed into place.
static void drop_pending() {
    for (char* name : pending) {
        if (name[0]) unlink(name);
        name[0] = '\0';
    }
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

mode_t new_file_mode() {
    mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

// The folder part of path, "." when there is none.
static std::string folder_of(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// False, with errno set, when not every byte could be written.
static bool write_all(int fd, const uint8_t* data, size_t size) {
    size_t done = 0;
    while (done < size) {
        ssize_t n = write(fd, data + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = EIO;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

// Writes the output whole into a new file beside its path, named in name;
// 0, or the errno of the step that failed.
static int stage(const output_file& o, char* name) {
    int fd = mkstemp(name);
    if (fd < 0) {
        int error = errno;
        name[0] = '\0';
        return error;
    }
    int error = write_all(fd, o.data, o.size) ? 0 : errno;
    if (error == 0 && fchmod(fd, o.mode) != 0) error = errno;
    if (error == 0 && fsync(fd) != 0) error = errno;
    if (close(fd) != 0 && error == 0) error = errno;
    return error;
}

void write_files_atomically(const std::vector<output_file>& outputs) {
    if (outputs.size() > max_pending) die("too many outputs");
    // A folder in the way would only show at its rename, when other outputs
    // may already be in place.
    for (const output_file& o : outputs) {
        struct stat st;
        if (stat(o.path.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
            die("cannot write %s: %s", o.path.c_str(), strerror(EISDIR));
    }
    signal(SIGINT, remove_pending);
    signal(SIGTERM, remove_pending);
    signal(SIGHUP, remove_pending);
    for (size_t i = 0; i < outputs.size(); ++i) {
        const std::string& path = outputs[i].path;
        std::string temp = folder_of(path) + "/." + path.substr(path.rfind('/') + 1) + ".XXXXXX";
        if (temp.size() >= sizeof pending[i]) {
            drop_pending();
            die("%s: path too long", path.c_str());
        }
        memcpy(pending[i], temp.c_str(), temp.size() + 1);
        if (int error = stage(outputs[i], pending[i])) {
            drop_pending();
            die("cannot write %s: %s", path.c_str(), strerror(error));
        }
    }
    for (size_t i = 0; i < outputs.size(); ++i) {
        if (rename(pending[i], outputs[i].path.c_str()) != 0) {
            int error = errno;
            drop_pending();
            die("cannot write %s: %s", outputs[i].path.c_str(), strerror(error));
        }
        pending[i][0] = '\0';
    }
}

void write_file_atomically(const std::string& path, const std::vector<uint8_t>& bytes,
                           mode_t mode) {
    write_files_atomically({{path, bytes.data(), bytes.size(), mode}});
}
