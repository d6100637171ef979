// tools/korvite/archive_writer.h -- the appended archive as the disk tools
// write and inspect it: entries packed stored or LZSS, the scrambled directory
// and the trailer, and finding an archive already at the end of a file.
//
// Used by the korvite tool and by tests that need archives of any shape,
// damaged ones included. Plain data in, bytes out: nothing here touches files.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

inline constexpr size_t archive_trailer_size = 16;
inline constexpr size_t archive_row_size = 28;
inline constexpr size_t archive_name_max = 12;  // characters, before the terminating zero
// A name may also fill its 13-byte field when its entry is stored as is: the
// row's method byte that follows, 0, then ends the name for every reader.
inline constexpr size_t archive_name_full = 13;
inline constexpr uint8_t method_stored = 0;
inline constexpr uint8_t method_lzss = 1;

// One directory row as it reads unscrambled. A name of 13 characters fills its
// field with no terminator (only tests write one); longer names are cut.
struct archive_row {
    std::string name;
    uint8_t method = method_stored;
    uint32_t offset = 0;    // from the start of the data area
    uint32_t unpacked = 0;  // the length the entry loads as, for method 1
    uint32_t stored = 0;    // bytes the entry occupies in the data area
};

// XORs byte i with 51 * i (mod 256); its own inverse.
void scramble(uint8_t* bytes, size_t count);

// The 28 bytes of a row, unscrambled.
void encode_row(const archive_row& row, uint8_t* out);

// Appends the scrambled directory of rows and the trailer (row count, data
// size, magic) to out, which is expected to end in a data area of data_size
// bytes. Rows are written as given, so tests can describe damaged archives.
void append_directory(std::vector<uint8_t>& out, const std::vector<archive_row>& rows,
                      uint32_t data_size);

// A file ready for the archive: its row (offset still 0) and the bytes that
// go into the data area.
struct packed_entry {
    archive_row row;
    std::vector<uint8_t> bytes;
};

// LZSS unless store is set or compressing would not make the entry smaller.
packed_entry pack_entry(const std::string& name, const std::vector<uint8_t>& contents, bool store);

// Appends a whole archive to out: the entries' bytes one after another, then
// the directory and the trailer. Sets each row's offset. False, with nothing
// appended, when the data area would not fit its 32-bit size.
bool append_archive(std::vector<uint8_t>& out, std::vector<packed_entry>& entries);

// What the end of a file holds.
struct archive_found {
    enum { none, present, damaged } state = none;
    size_t start = 0;  // where the archive and its data area begin: the host's length
    uint32_t data_size = 0;
    std::vector<archive_row> rows;  // unscrambled; empty for a trailer of no rows
};

// none without the magic; damaged when the magic is there but the directory
// or the data area would lie outside the file; present otherwise, rows and
// all, even when there are none (the engine takes such a file for one without
// an archive, yet the trailer and its data area are still there to replace).
archive_found find_archive(const uint8_t* file, size_t size);

// "stored" or "lzss" (or "method N" for what the engine refuses).
std::string method_name(uint8_t method);
