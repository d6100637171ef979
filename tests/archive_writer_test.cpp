// The tools' archive writer: the directory's scrambling and finding an archive
// at the end of a file.
#include <gtest/gtest.h>

#include <vector>

#include "tests/scratch.h"
#include "tools/korvite/archive_writer.h"

namespace {

using bytes = std::vector<uint8_t>;

TEST(ArchiveWriter, ScramblingXorsByteIWith51TimesI) {
    uint8_t plain[archive_row_size];
    encode_row({"links.gif", method_lzss, 0x01020304, 0xA0B0C0D0, 0x11223344}, plain);
    uint8_t stored[archive_row_size];
    std::copy(plain, plain + archive_row_size, stored);
    scramble(stored, archive_row_size);
    EXPECT_EQ(stored[0], plain[0]);
    EXPECT_EQ(stored[1], plain[1] ^ 51);
    for (size_t i = 0; i < archive_row_size; ++i)
        EXPECT_EQ(stored[i], plain[i] ^ static_cast<uint8_t>(51 * i)) << i;
    scramble(stored, archive_row_size);
    EXPECT_TRUE(std::equal(plain, plain + archive_row_size, stored));
}

TEST(ArchiveWriter, FindsWhereAnArchiveBegins) {
    bytes host = bytes_of("a program's bytes");
    bytes with_archive = host;
    std::vector<packed_entry> entries = {pack_entry("one", bytes(5000, 'x'), false),
                                         pack_entry("two", bytes_of("22"), false)};
    append_archive(with_archive, entries);
    bytes no_rows = host;
    no_rows.insert(no_rows.end(), {'d', 'd'});
    append_directory(no_rows, {}, 2);
    bytes damaged = with_archive;
    damaged[damaged.size() - 12] = 0xFF;  // the data size now reaches before the file

    archive_found found = find_archive(with_archive.data(), with_archive.size());
    EXPECT_EQ(found.state, archive_found::present);
    EXPECT_EQ(found.start, host.size());
    ASSERT_EQ(found.rows.size(), 2u);
    EXPECT_EQ(found.rows[0].name, "one");
    EXPECT_EQ(found.rows[0].method, method_lzss);
    EXPECT_EQ(found.rows[1].offset, found.rows[0].stored);
    EXPECT_EQ(found.rows[1].method, method_stored);

    found = find_archive(no_rows.data(), no_rows.size());
    EXPECT_EQ(found.state, archive_found::present);
    EXPECT_EQ(found.start, host.size());
    EXPECT_TRUE(found.rows.empty());

    EXPECT_EQ(find_archive(damaged.data(), damaged.size()).state, archive_found::damaged);
    EXPECT_EQ(find_archive(host.data(), host.size()).state, archive_found::none);
    EXPECT_EQ(find_archive(with_archive.data() + with_archive.size() - 15, 15).state,
              archive_found::none);
}

}  // namespace
