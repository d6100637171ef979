// fuzz/archive.cpp -- a host file with an appended archive, loaded as the
// player loads one: open_archive on the file, then l_loadfile of every entry
// its directory names, each into the general heap and freed again. The disk
// builder reads the same directory with its own code (find_archive, what
// korvite list prints); the two must agree.
#include <cstdlib>
#include <string>
#include <vector>

#include "data/archive.h"
#include "fuzz/harness.h"
#include "tools/korvite/archive_writer.h"

namespace {

struct archive_file {
    const char* path;
    const std::vector<archive_row>* rows;
};

void load_every_entry(void* context) {
    archive_file* a = static_cast<archive_file*>(context);
    open_archive(a->path);
    for (const archive_row& row : *a->rows) {
        if (l_findfile(row.name.c_str()) < 0)
            fuzz_fail("an entry korvite lists is not in the archive");
        uint8_t* bytes = nullptr;
        l_loadfile(row.name.c_str(), &bytes, 0);
        free(bytes);
    }
}

}  // namespace

// The trailer's row count; a trailer of no rows is no archive to the engine,
// whatever its data size says, while korvite calls one too large damaged.
static bool has_rows(const uint8_t* data, size_t size) {
    if (size < archive_trailer_size) return false;
    const uint8_t* n = data + size - archive_trailer_size;
    return (n[0] | n[1] | n[2] | n[3]) != 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    archive_found found = find_archive(data, size);
    archive_file a{fuzz_file(data, size, ".exe"), &found.rows};
    bool loaded = fuzz_run(load_every_entry, &a);
    if (loaded && found.state == archive_found::damaged && has_rows(data, size))
        fuzz_fail("the engine took an archive korvite finds damaged");
    return 0;
}
