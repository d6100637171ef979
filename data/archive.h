// data/archive.h -- the archive appended to the program's own file, and the
// loading of a named file from it or from disk.
//
// Owns the archive state: whether one is present, its path, its directory and
// where its data area starts. Start-up calls open_archive once with the
// program's own path; the picture readers load through l_loadfile. Loads run
// on one thread and never overlap.
//
// Layout, from the end of the file back (integers 32-bit little-endian): a
// 16-byte trailer (N rows, D data bytes, the magic "korvite,"), the directory
// of N 28-byte rows scrambled as one run of bytes, and the data area of D bytes.
// A row: name (13 bytes, zero-terminated), method (0 stored, 1 LZSS), 2 unused
// bytes, offset in the data area, unpacked size, stored size.
#pragma once
#include <cstdint>

// Makes the file at path the archive when it ends in a trailer with the magic
// and at least one row; otherwise every load goes to disk, silently. A trailer
// whose directory or data area would lie outside the file is fatal:
// "open_archive: damaged archive". No file stays open.
void open_archive(const char* path);

// The index of the row called name, letter case aside; -1 when there is none
// or no archive is present.
int32_t l_findfile(const char* name);

// Loads the whole file called name, from the archive if it holds the name and
// from disk otherwise, into a buffer from l_alloc(size, a) that it stores in
// *out; returns the length. Fatal: "l_loadfile: %s not found" (not in the
// archive and not on disk), "l_loadfile: %s: unsupported compression type",
// "l_loadfile: %s is damaged" (an entry reaching past the data area, a
// compressed one claiming more than its stored bytes can expand to, or any
// read that comes up short), "l_loadfile: %s is too large" (a disk file
// beyond 2 GiB - 1), and the decoder's and l_alloc's own messages.
int32_t l_loadfile(const char* name, uint8_t** out, int32_t a);
