// The appended archive and l_loadfile, on archives the tools' writer makes
// (damaged ones included) and on plain files in a scratch folder.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "data/archive.h"
#include "data/heap.h"
#include "platform/fake/fake.h"
#include "tests/sample_data.h"
#include "tests/scratch.h"
#include "tools/korvite/archive_writer.h"

namespace {

using bytes = std::vector<uint8_t>;

class Archive : public ::testing::Test {
  protected:
    void SetUp() override {
        fake::reset();
        h_deinit();
        open_archive("");  // forget any archive of an earlier test
        previous = std::filesystem::current_path();
        std::filesystem::current_path(dir.root);  // names missing from the archive come from here
    }
    void TearDown() override {
        std::filesystem::current_path(previous);
        h_deinit();
    }

    // A host program's bytes with an archive of the given entries after them.
    std::string archive_file(const std::string& name, std::vector<packed_entry> entries) {
        bytes file = bytes_of("#!host program\n");
        append_archive(file, entries);
        return dir.write(name, file);
    }
    // The same with rows written as given, over a data area of the given bytes.
    std::string raw_archive(const std::string& name, const std::vector<archive_row>& rows,
                            const bytes& data) {
        bytes file = bytes_of("host");
        file.insert(file.end(), data.begin(), data.end());
        append_directory(file, rows, static_cast<uint32_t>(data.size()));
        return dir.write(name, file);
    }

    bytes load(const char* name) {
        uint8_t* buffer = nullptr;
        int32_t size = l_loadfile(name, &buffer, 0);
        bytes out(buffer, buffer + size);
        free(buffer);
        return out;
    }

    scratch_dir dir;
    std::filesystem::path previous;
};

struct name_case {
    const char* name;
    int32_t index;
};

TEST_F(Archive, FindsNamesWithoutRegardToLetterCase) {
    open_archive(archive_file("disk", {pack_entry("links.gif", bytes_of("L"), false),
                                       pack_entry("TUNE01.IT", bytes_of("T"), false),
                                       pack_entry("a[b]@", bytes_of("A"), false)})
                     .c_str());
    const name_case cases[] = {
        {"links.gif", 0},
        {"LINKS.GIF", 0},
        {"Links.Gif", 0},
        {"tune01.it", 1},
        {"a[b]@", 2},
        {"A[B]@", 2},
        // [ ] @ lie 0x20 away from { } ` but are not letters.
        {"a{b}`", -1},
        {"links.gi", -1},
        {"links.gifs", -1},
        {"", -1},
    };
    for (const name_case& c : cases) EXPECT_EQ(l_findfile(c.name), c.index) << c.name;
    EXPECT_EQ(load("LINKS.GIF"), bytes_of("L"));
}

TEST_F(Archive, ARowNameWithoutTerminatorEndsWithItsField) {
    // Thirteen characters fill the name field; the method byte after it is not
    // part of the name.
    open_archive(raw_archive("disk", {{"abcdefghijklm", method_stored, 0, 1, 1}}, {'z'}).c_str());
    EXPECT_EQ(l_findfile("ABCDEFGHIJKLM"), 0);
    EXPECT_EQ(l_findfile("abcdefghijkl"), -1);
    EXPECT_EQ(l_findfile("abcdefghijklm\x01"), -1);
}

TEST_F(Archive, WithoutAnArchiveEveryLoadGoesToDisk) {
    dir.write("a.txt", "from disk");
    bytes bad_magic = bytes_of("host");
    append_directory(bad_magic, {{"a.txt", method_stored, 0, 0, 0}}, 0);
    bad_magic.back() = '.';
    const struct {
        const char* what;
        std::string path;
    } cases[] = {
        {"no such file", dir.path("missing")},
        {"a folder", dir.path(".")},
        {"shorter than a trailer", dir.write("short", "korvite,")},
        {"the magic differs", dir.write("magic", bad_magic)},
        {"no rows", raw_archive("empty", {}, {})},
        {"a plain file", dir.write("plain", text_like(1000))},
    };
    for (const auto& c : cases) {
        open_archive(c.path.c_str());
        EXPECT_EQ(l_findfile("a.txt"), -1) << c.what;
        EXPECT_EQ(load("a.txt"), bytes_of("from disk")) << c.what;
    }
    EXPECT_EXIT(load("nothere.gif"), ::testing::ExitedWithCode(1),
                "l_loadfile: nothere\\.gif not found");
    std::filesystem::create_directory(dir.path("folder.gif"));
    EXPECT_EXIT(load("folder.gif"), ::testing::ExitedWithCode(1),
                "l_loadfile: folder\\.gif not found");
}

TEST_F(Archive, ADiskFileBeyondASigned32BitLengthIsRefused) {
    std::string path = dir.write("huge.rix", "");
    std::filesystem::resize_file(path, (uint64_t{1} << 31) + 5);  // sparse: no disk space used
    EXPECT_EXIT(load("huge.rix"), ::testing::ExitedWithCode(1),
                "l_loadfile: huge\\.rix is too large");
}

TEST_F(Archive, ANameInTheArchiveIsNeverTakenFromDisk) {
    dir.write("a.txt", "from disk");
    dir.write("b.txt", "b from disk");
    open_archive(
        archive_file("disk", {pack_entry("A.TXT", bytes_of("from the archive"), false)}).c_str());
    EXPECT_EQ(load("a.txt"), bytes_of("from the archive"));
    EXPECT_EQ(load("b.txt"), bytes_of("b from disk"));
}

TEST_F(Archive, EntriesLoadAsTheirMethodSays) {
    bytes text = text_like(50000);
    // A stored row loads its stored size, whatever its unpacked field says; an
    // LZSS row its unpacked size, however many bytes the decoder took.
    std::vector<archive_row> rows = {
        {"stored", method_stored, 0, 999, 5},
        {"text", method_lzss, 5, 0, 0},
        {"after", method_stored, 0, 0, 3},
    };
    packed_entry packed = pack_entry("text", text, false);
    ASSERT_EQ(packed.row.method, method_lzss);
    bytes data = bytes_of("12345");
    data.insert(data.end(), packed.bytes.begin(), packed.bytes.end());
    rows[1].unpacked = static_cast<uint32_t>(text.size());
    rows[1].stored = static_cast<uint32_t>(packed.bytes.size());
    rows[2].offset = static_cast<uint32_t>(data.size());
    data.insert(data.end(), {'x', 'y', 'z'});
    open_archive(raw_archive("disk", rows, data).c_str());

    EXPECT_EQ(load("stored"), bytes_of("12345"));
    EXPECT_EQ(load("text"), text);
    EXPECT_EQ(load("after"), bytes_of("xyz"));
    // Any other exponent puts the buffer in the internal heap, aligned.
    h_init(1 << 20);
    uint8_t* buffer = nullptr;
    ASSERT_EQ(l_loadfile("text", &buffer, 2), static_cast<int32_t>(text.size()));
    EXPECT_TRUE(buffer >= h_base && buffer + text.size() == h_next);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(buffer) % 4, 0u);
    EXPECT_EQ(bytes(buffer, buffer + text.size()), text);
}

TEST_F(Archive, AnEmptyCompressedEntryLoadsWithoutReading) {
    std::string path = raw_archive("disk", {{"empty", method_lzss, 0, 0, 0}}, {});
    open_archive(path.c_str());
    std::filesystem::remove(path);  // nothing may need the file now
    uint8_t* buffer = nullptr;
    EXPECT_EQ(l_loadfile("empty", &buffer, 0), 0);
    EXPECT_NE(buffer, nullptr);
    free(buffer);
}

TEST_F(Archive, AnUnknownMethodIsFatal) {
    open_archive(raw_archive("disk", {{"two.gif", 2, 0, 1, 1}}, {'x'}).c_str());
    EXPECT_EXIT(load("TWO.GIF"), ::testing::ExitedWithCode(1),
                "l_loadfile: TWO\\.GIF: unsupported compression type");
}

// A trailer with the magic whose rows or data area do not fit in the file.
TEST_F(Archive, ATrailerThatDoesNotFitIsRefused) {
    const struct {
        const char* what;
        uint32_t rows, data;
    } cases[] = {
        {"data area reaching before the file", 1, 100},
        {"more rows than the file holds", 3, 0},
        {"a row count that overflows 32-bit sums", 0xFFFFFFFFu, 0},
        {"a data size that overflows 32-bit sums", 1, 0xFFFFFFF0u},
    };
    for (const auto& c : cases) {
        // 10 bytes of data and one real row; the trailer then claims otherwise.
        bytes file = bytes_of("0123456789");
        append_directory(file, {{"a", method_stored, 0, 0, 10}}, 10);
        size_t trailer = file.size() - 16;
        for (int i = 0; i < 4; ++i) {
            file[trailer + i] = static_cast<uint8_t>(c.rows >> 8 * i);
            file[trailer + 4 + i] = static_cast<uint8_t>(c.data >> 8 * i);
        }
        std::string path = dir.write("damaged", file);
        EXPECT_EXIT(open_archive(path.c_str()), ::testing::ExitedWithCode(1),
                    "open_archive: damaged archive")
            << c.what;
    }
    // The data area may start at the very beginning of the file.
    bytes exact = bytes_of("0123456789");
    append_directory(exact, {{"a", method_stored, 0, 0, 10}}, 10);
    open_archive(dir.write("exact", exact).c_str());
    EXPECT_EQ(load("a"), bytes_of("0123456789"));
}

TEST_F(Archive, AnEntryPastTheDataAreaIsRefused) {
    const archive_row rows[] = {
        {"stored", method_stored, 4, 0, 7},
        {"lzss", method_lzss, 0, 100, 11},
        {"far", method_stored, 12, 0, 0},
        // offset + stored wraps to 2 in 32 bits
        {"wraps", method_stored, 10, 0, 0xFFFFFFF8u},
    };
    open_archive(raw_archive("disk", std::vector<archive_row>(std::begin(rows), std::end(rows)),
                             bytes(10, 'd'))
                     .c_str());
    for (const archive_row& row : rows)
        EXPECT_EXIT(load(row.name.c_str()), ::testing::ExitedWithCode(1),
                    "l_loadfile: " + row.name + " is damaged");
}

// Found by fuzzing: a row claiming 400 MB from 10 stored bytes had the general
// heap asked for them before the decoder found the stream short.
TEST_F(Archive, AnUnpackedSizeBeyondWhatTheStreamCanMakeIsRefused) {
    open_archive(raw_archive("disk",
                             {{"ninefold", method_lzss, 0, 90, 10},
                              {"more", method_lzss, 0, 91, 10},
                              {"huge", method_lzss, 0, 0x7FFFFFFFu, 10}},
                             bytes(10, 0))
                     .c_str());
    // Nine output bytes per stored byte is still decoded (this stream of
    // references runs short); one more is damage.
    EXPECT_EXIT(load("ninefold"), ::testing::ExitedWithCode(1),
                "lzss_decode: premature end of input file \\(78 bytes left\\)");
    for (const char* name : {"more", "huge"})
        EXPECT_EXIT(load(name), ::testing::ExitedWithCode(1),
                    std::string("l_loadfile: ") + name + " is damaged");
}

TEST_F(Archive, AShortReadIsNeverAWholeFile) {
    bytes text = text_like(20000);
    std::string path =
        archive_file("disk", {pack_entry("plain", text, true), pack_entry("packed", text, false)});
    open_archive(path.c_str());
    // The file loses its end after the directory was read.
    std::filesystem::resize_file(path, 100);
    EXPECT_EXIT(load("plain"), ::testing::ExitedWithCode(1), "l_loadfile: plain is damaged");
    EXPECT_EXIT(load("packed"), ::testing::ExitedWithCode(1),
                "lzss_decode: premature end of input file");
    // A death test runs in a new process with a scratch folder of its own.
    std::filesystem::remove(path);
    EXPECT_EXIT(load("plain"), ::testing::ExitedWithCode(1), "l_loadfile: /.*/disk not found");
}

TEST_F(Archive, TheKeptPathHasNoLengthLimit) {
    std::string folder;
    for (int i = 0; i < 6; ++i) folder += std::string(100, 'a' + i) + "/";
    std::string path = dir.path(folder + "disk");
    std::filesystem::create_directories(dir.path(folder));
    bytes file = bytes_of("host");
    std::vector<packed_entry> entries = {pack_entry("deep", bytes_of("deep down"), false)};
    append_archive(file, entries);
    dir.write(folder + "disk", file);
    ASSERT_GT(path.size(), 600u);
    open_archive(path.c_str());
    EXPECT_EQ(load("deep"), bytes_of("deep down"));
}

}  // namespace
