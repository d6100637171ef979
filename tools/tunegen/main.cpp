// tools/tunegen/main.cpp -- writes the twelve default tunes and the player's
// test fixtures:
//
//   tunegen TUNES_DIR FIXTURES_DIR
//
// Each file is written beside its final name and renamed into place, so an
// interrupted build never leaves half a module behind.
#include <cstdio>
#include <string>

#include "tools/tunegen/fixtures.h"
#include "tools/tunegen/tunes.h"

namespace {

void write_file(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::string temporary = path + ".tmp";
    FILE* f = fopen(temporary.c_str(), "wb");
    if (!f) tunegen_fail("cannot create %s", temporary.c_str());
    bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = fclose(f) == 0 && ok;
    if (!ok || rename(temporary.c_str(), path.c_str()) != 0)
        tunegen_fail("cannot write %s", path.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) tunegen_fail("usage: tunegen TUNES_DIR FIXTURES_DIR");
    for (int n = 1; n <= tune_count; n++) {
        char name[16];
        snprintf(name, sizeof name, "tune%02d.it", n);
        write_file(std::string(argv[1]) + "/" + name, it_write(tune_build(n)));
    }
    for (const fixture& f : fixtures)
        write_file(std::string(argv[2]) + "/" + f.file, fixture_bytes(f));
    return 0;
}
