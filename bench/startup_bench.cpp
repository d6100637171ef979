// load_assets as start-up runs it (the fake backend, the program's own path
// pointing at a disk file): the eighteen pictures of the default artwork from
// an archive of stored entries beside one whose entries are all LZSS-packed,
// and from files in the current directory.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/startup.h"
#include "data/heap.h"
#include "platform/fake/fake.h"
#include "tools/korvite/archive_writer.h"
#include "tools/korvite/lzss_encode.h"

namespace {

const char* const pictures[] = {"links.gif",   "numbers.gif", "intro.gif",    "1.gif",  "2.gif",
                                "3.gif",       "4.gif",       "5.gif",        "6.gif",  "7.gif",
                                "8.gif",       "9.gif",       "10.gif",       "11.gif", "12.gif",
                                "modinfo.gif", "credits.gif", "greetings.gif"};

std::vector<uint8_t> read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// A disk: a stand-in for the program's code, then the archive. Packed entries
// are compressed even where that does not make them smaller, to see what
// decoding costs.
std::string write_disk(const char* name, bool packed) {
    std::vector<uint8_t> disk(1 << 20, 0x90);
    std::vector<packed_entry> entries;
    for (const char* picture : pictures) {
        std::vector<uint8_t> bytes = read_file(std::string(KORVITE_ASSETS_DIR "/") + picture);
        packed_entry e = pack_entry(picture, bytes, true);
        if (packed) {
            e.bytes = lzss_encode(bytes.data(), bytes.size());
            e.row.method = method_lzss;
            e.row.unpacked = static_cast<uint32_t>(bytes.size());
            e.row.stored = static_cast<uint32_t>(e.bytes.size());
        }
        entries.push_back(std::move(e));
    }
    append_archive(disk, entries);
    std::string path = std::filesystem::temp_directory_path() / name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(disk.data()),
               static_cast<std::streamsize>(disk.size()));
    return path;
}

void load_from(benchmark::State& state, const std::string& own_file) {
    for (auto _ : state) {
        fake::reset();
        fake::set_modulefilename(own_file.c_str());
        h_init(4194304);
        load_assets();
        benchmark::DoNotOptimize(pal16);
        h_deinit();
    }
    std::error_code missing;
    auto size = std::filesystem::file_size(own_file, missing);
    state.counters["file_bytes"] = missing ? 0.0 : static_cast<double>(size);
}

void BM_LoadAssetsStored(benchmark::State& state) {
    static std::string disk = write_disk("korvite-bench-stored", false);
    load_from(state, disk);
}

void BM_LoadAssetsPacked(benchmark::State& state) {
    static std::string disk = write_disk("korvite-bench-packed", true);
    load_from(state, disk);
}

// No archive: every picture comes from the current directory.
void BM_LoadAssetsFromFiles(benchmark::State& state) {
    std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(KORVITE_ASSETS_DIR);
    load_from(state, "no-archive-here");
    std::filesystem::current_path(previous);
}

BENCHMARK(BM_LoadAssetsStored)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadAssetsPacked)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadAssetsFromFiles)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
