// data/archive.cpp -- the appended archive and file loading.
#include "data/archive.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "data/heap.h"
#include "data/lzss.h"
#include "system/sys.h"

static constexpr int32_t trailer_size = 16;
static constexpr int32_t row_size = 28;
static constexpr int32_t name_size = 13;  // 12 characters and the terminating zero
static constexpr char magic[8] = {'k', 'o', 'r', 'v', 'i', 't', 'e', ','};

// Row fields, by offset in the 28 bytes.
static constexpr int32_t row_method = 13;
static constexpr int32_t row_offset = 16;
static constexpr int32_t row_unpacked = 20;
static constexpr int32_t row_stored = 24;

static bool present;        // false until open_archive accepts a trailer
static char* archive_path;  // own copy of the path, opened anew for every load
static int32_t row_count;   // N from the trailer
static uint8_t* directory;  // N unscrambled rows, from the general heap
static int64_t data_base;   // file position of the data area's first byte
static uint32_t data_size;  // D from the trailer

static uint32_t read_u32(const uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// Forgets an archive opened before, so that a second open_archive starts clean.
static void forget_archive() {
    present = false;
    free(archive_path);
    free(directory);
    archive_path = nullptr;
    directory = nullptr;
    row_count = 0;
}

// Reads the trailer into n and d; false when the file is too short for one or
// it does not carry the magic.
static bool read_trailer(FILE* f, int64_t length, uint32_t* n, uint32_t* d) {
    uint8_t trailer[trailer_size];
    if (length < trailer_size || fseek(f, -trailer_size, SEEK_END) != 0 ||
        fread(trailer, 1, trailer_size, f) != trailer_size)
        return false;
    if (memcmp(trailer + 8, magic, sizeof magic) != 0) return false;
    *n = read_u32(trailer);
    *d = read_u32(trailer + 4);
    return true;
}

// Byte i of the directory is XORed with 51 * i (mod 256); doing it twice gives
// the bytes back, so the same step scrambles and unscrambles.
static void unscramble(uint8_t* bytes, size_t count) {
    uint8_t key = 0;
    for (size_t i = 0; i < count; ++i) {
        bytes[i] ^= key;
        key = static_cast<uint8_t>(key + 51);
    }
}

void open_archive(const char* path) {
    forget_archive();
    FILE* f = fopen(path, "rb");
    if (!f) return;
    uint32_t n = 0, d = 0;
    int64_t length = fseek(f, 0, SEEK_END) == 0 ? ftell(f) : -1;
    if (!read_trailer(f, length, &n, &d) || n == 0) {
        fclose(f);
        return;
    }
    // The magic is there, so the rest must be too: rows and data that do not
    // fit in the file are damage, not something to read as garbage.
    int64_t directory_start = length - trailer_size - int64_t{row_size} * n;
    if (directory_start - int64_t{d} < 0) s_panic("open_archive: damaged archive");

    present = true;
    archive_path = static_cast<char*>(malloc(strlen(path) + 1));
    directory = static_cast<uint8_t*>(malloc(static_cast<size_t>(row_size) * n));
    if (!archive_path || !directory) s_panic("open_archive: memory!");
    strcpy(archive_path, path);
    row_count = static_cast<int32_t>(n);
    data_size = d;
    data_base = directory_start - d;
    if (fseek(f, directory_start, SEEK_SET) != 0 || fread(directory, row_size, n, f) != n)
        s_panic("open_archive: damaged archive");
    unscramble(directory, size_t{row_size} * n);
    fclose(f);
}

static uint8_t lower(uint8_t c) {
    return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c;
}

// A row's name ends at its zero or at the end of its 13-byte field, whichever
// comes first, so that a row without a terminator is never read past.
static bool same_name(const char* name, const uint8_t* row) {
    for (int32_t i = 0; i < name_size; ++i) {
        uint8_t c = static_cast<uint8_t>(name[i]);
        if (lower(c) != lower(row[i])) return false;
        if (c == 0) return true;
    }
    return name[name_size] == '\0';
}

int32_t l_findfile(const char* name) {
    if (!present) return -1;
    for (int32_t i = 0; i < row_count; ++i)
        if (same_name(name, directory + size_t(i) * row_size)) return i;
    return -1;
}

// Reads size bytes at the current position into buffer; a short read is never
// taken for the whole file.
static void read_exactly(FILE* f, uint8_t* buffer, int32_t size, const char* name) {
    if (fread(buffer, 1, static_cast<size_t>(size), f) != static_cast<size_t>(size)) {
        fclose(f);
        s_panic("l_loadfile: %s is damaged", name);
    }
}

static int32_t load_from_disk(const char* name, uint8_t** out, int32_t a) {
    FILE* f = fopen(name, "rb");
    // A name that opens but cannot be read (a folder) is not a file either.
    if (f && getc(f) == EOF && ferror(f)) {
        fclose(f);
        f = nullptr;
    }
    if (!f) s_panic("l_loadfile: %s not found", name);
    int64_t length = fseek(f, 0, SEEK_END) == 0 ? ftell(f) : -1;
    if (length < 0 || length > INT32_MAX) {
        fclose(f);
        s_panic("l_loadfile: %s is too large", name);
    }
    int32_t size = static_cast<int32_t>(length);
    uint8_t* buffer = static_cast<uint8_t*>(l_alloc(size, a));
    rewind(f);
    read_exactly(f, buffer, size, name);
    fclose(f);
    *out = buffer;
    return size;
}

// Opens the archive again, positioned at the entry's first byte. Losing the
// archive file after open_archive accepted it means the entry cannot be had.
static FILE* open_entry(uint32_t offset) {
    FILE* f = fopen(archive_path, "rb");
    if (!f) s_panic("l_loadfile: %s not found", archive_path);
    if (fseek(f, data_base + offset, SEEK_SET) != 0) {
        fclose(f);
        return nullptr;
    }
    return f;
}

static int32_t load_entry(const char* name, const uint8_t* row, uint8_t** out, int32_t a) {
    uint8_t method = row[row_method];
    if (method != 0 && method != 1) s_panic("l_loadfile: %s: unsupported compression type", name);
    uint32_t offset = read_u32(row + row_offset);
    uint32_t stored = read_u32(row + row_stored);
    uint32_t length = method == 0 ? stored : read_u32(row + row_unpacked);
    // A compressed entry that claims more than its stored bytes can expand to
    // is refused before its buffer is asked for, so that a damaged row cannot
    // make the general heap hand out gigabytes.
    if (uint64_t{offset} + stored > data_size || stored > INT32_MAX || length > INT32_MAX ||
        (method == 1 && uint64_t{length} > uint64_t{stored} * lzss_max_expansion))
        s_panic("l_loadfile: %s is damaged", name);
    int32_t size = static_cast<int32_t>(length);
    uint8_t* buffer = static_cast<uint8_t*>(l_alloc(size, a));
    *out = buffer;
    // An empty compressed entry has nothing to decode.
    if (method == 1 && size == 0) return 0;
    FILE* f = open_entry(offset);
    if (!f) s_panic("l_loadfile: %s is damaged", name);
    if (method == 0)
        read_exactly(f, buffer, size, name);
    else
        lzss_decode(f, buffer, size, static_cast<int32_t>(stored));
    fclose(f);
    return size;
}

int32_t l_loadfile(const char* name, uint8_t** out, int32_t a) {
    int32_t index = l_findfile(name);
    if (index < 0) return load_from_disk(name, out, a);
    return load_entry(name, directory + size_t(index) * row_size, out, a);
}
