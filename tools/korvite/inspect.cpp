// tools/korvite/inspect.cpp -- korvite list and korvite cat.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "data/archive.h"
#include "tools/korvite/tool.h"

void print_row(const archive_row& row) {
    // A stored entry loads as its stored bytes, whatever its unpacked field says.
    uint32_t loads_as = row.method == method_stored ? row.stored : row.unpacked;
    printf("%-12s  %-8s  %10u  %10u\n", row.name.c_str(), method_name(row.method).c_str(),
           row.stored, loads_as);
}

int list_command(int argc, char** argv) {
    if (argc != 1) usage_error("list");
    std::vector<uint8_t> file = read_file(argv[0]);
    archive_found found = find_archive(file.data(), file.size());
    if (found.state == archive_found::damaged) die("%s: damaged archive", argv[0]);
    if (found.rows.empty()) die("%s holds no archive", argv[0]);
    for (const archive_row& row : found.rows) print_row(row);
    if (fflush(stdout) != 0) die("cannot write to stdout: %s", strerror(errno));
    return 0;
}

// Through the engine's own loading, so that what it prints is what the player
// would get: a name not in the archive comes from disk.
int cat_command(int argc, char** argv) {
    if (argc != 2) usage_error("cat");
    open_archive(argv[0]);
    uint8_t* bytes = nullptr;
    int32_t size = l_loadfile(argv[1], &bytes, 0);
    size_t written = fwrite(bytes, 1, static_cast<size_t>(size), stdout);
    free(bytes);
    if (written != static_cast<size_t>(size) || fflush(stdout) != 0)
        die("cannot write to stdout: %s", strerror(errno));
    return 0;
}
