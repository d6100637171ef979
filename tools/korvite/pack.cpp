// tools/korvite/pack.cpp -- korvite pack: an archive of files, on its own or
// appended to a copy of a program.

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "tools/korvite/tool.h"

namespace {

struct pack_options {
    bool store = false;
    const char* onto = nullptr;
    const char* out = nullptr;
    std::vector<std::string> files;
};

pack_options parse_options(int argc, char** argv) {
    pack_options o;
    int i = 0;
    for (; i < argc && strncmp(argv[i], "--", 2) == 0; ++i) {
        if (strcmp(argv[i], "--store") == 0) {
            o.store = true;
        } else if (strcmp(argv[i], "--onto") == 0 && i + 1 < argc) {
            o.onto = argv[++i];
        } else if (strcmp(argv[i], "--") == 0) {
            ++i;
            break;
        } else {
            fprintf(stderr, "korvite: pack: unknown option %s\n", argv[i]);
            usage_error("pack");
        }
    }
    if (argc - i < 2) usage_error("pack");
    o.out = argv[i++];
    for (; i < argc; ++i) o.files.push_back(argv[i]);
    return o;
}

std::string base_name(const std::string& path) {
    return path.substr(path.rfind('/') + 1);
}

bool same_name(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

// Every entry needs a name that fits a row and that no other entry shares,
// letter case aside, since the player finds names that way.
void check_names(const std::vector<std::string>& files) {
    for (size_t i = 0; i < files.size(); ++i) {
        std::string name = base_name(files[i]);
        if (name.empty()) die("%s: no file name", files[i].c_str());
        if (name.size() > archive_name_full)
            die("%s: the name %s is longer than %zu characters", files[i].c_str(), name.c_str(),
                archive_name_full);
        for (size_t j = 0; j < i; ++j)
            if (same_name(name, base_name(files[j])))
                die("%s and %s would have the same name in the archive", files[j].c_str(),
                    files[i].c_str());
    }
}

// The program's bytes without an archive it may already carry, which the new
// one replaces.
std::vector<uint8_t> host_bytes(const char* path) {
    std::vector<uint8_t> bytes = read_file(path);
    archive_found found = find_archive(bytes.data(), bytes.size());
    if (found.state == archive_found::damaged) die("%s ends in a damaged archive", path);
    if (found.state == archive_found::present) bytes.resize(found.start);
    return bytes;
}

}  // namespace

int pack_command(int argc, char** argv) {
    pack_options o = parse_options(argc, argv);
    check_names(o.files);
    std::vector<uint8_t> out;
    mode_t mode = new_file_mode();
    if (o.onto) {
        out = host_bytes(o.onto);
        mode = file_mode(o.onto);
    }
    std::vector<packed_entry> entries;
    for (const std::string& path : o.files) {
        std::vector<uint8_t> contents = read_file(path);
        // The player takes a file's length as a signed 32-bit count.
        if (contents.size() > INT32_MAX) die("%s is larger than 2 GiB", path.c_str());
        std::string name = base_name(path);
        entries.push_back(pack_entry(name, contents, o.store || name.size() > archive_name_max));
    }
    if (!append_archive(out, entries)) die("the archive's data would pass 4 GiB");
    write_file_atomically(o.out, out, mode);
    for (const packed_entry& e : entries) print_row(e.row);
    return 0;
}
