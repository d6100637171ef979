// fuzz/leftovers.cpp -- the records of blocks and files handed out while
// watching, and the wrappers that keep them.
#include "fuzz/leftovers.h"

#include <cstdio>
#include <cstdlib>

extern "C" {
void* __real_malloc(size_t size);
void* __real_calloc(size_t count, size_t size);
void* __real_realloc(void* block, size_t size);
void __real_free(void* block);
FILE* __real_fopen(const char* path, const char* mode);
int __real_fclose(FILE* file);
}

// A run of a reader holds a handful of each (a file's bytes, a decoder's
// tables, one open file); the records are fixed arrays so that keeping them
// never allocates. More than this at once is a finding in itself.
static constexpr int max_blocks = 256;
static constexpr int max_files = 16;

// No input of a run needs a general-heap block anywhere near this: a file's
// bytes, nine times that for a compressed entry, a decoder's fixed tables. A
// larger request is a size taken from the input and not checked against the
// bytes behind it, which libFuzzer's -malloc_limit_mb would catch only in the
// fuzz build; here the replay catches it as well.
static constexpr size_t max_block = size_t{64} << 20;

static bool watching;
static void* blocks[max_blocks];
static int block_count;
static FILE* files[max_files];
static int file_count;

[[noreturn]] static void too_many(const char* what) {
    fprintf(stderr, "fuzz harness: more than %d %s out at once\n",
            what[0] == 'b' ? max_blocks : max_files, what);
    abort();
}

static void check_size(size_t size) {
    if (!watching || size <= max_block) return;
    fprintf(stderr, "fuzz harness: a block of %zu bytes asked for\n", size);
    abort();
}

template <class T>
static void keep(T* table, int* count, int limit, T item, const char* what) {
    if (!item) return;
    if (*count == limit) too_many(what);
    table[(*count)++] = item;
}

// Drops item from the table; false when it was not recorded.
template <class T>
static bool drop(T* table, int* count, T item) {
    for (int i = 0; i < *count; ++i) {
        if (table[i] != item) continue;
        table[i] = table[--*count];
        return true;
    }
    return false;
}

extern "C" void* __wrap_malloc(size_t size) {
    check_size(size);
    void* block = __real_malloc(size);
    if (watching) keep(blocks, &block_count, max_blocks, block, "blocks");
    return block;
}

extern "C" void* __wrap_calloc(size_t count, size_t size) {
    check_size(size && count > max_block / size ? max_block + 1 : count * size);
    void* block = __real_calloc(count, size);
    if (watching) keep(blocks, &block_count, max_blocks, block, "blocks");
    return block;
}

extern "C" void* __wrap_realloc(void* block, size_t size) {
    // A recorded block stays recorded under its new address, or its old one
    // when it could not be moved (a size of 0 frees it).
    check_size(size);
    bool kept = drop(blocks, &block_count, block);
    void* moved = __real_realloc(block, size);
    void* now = moved ? moved : size ? block : nullptr;
    if (kept || (watching && !block)) keep(blocks, &block_count, max_blocks, now, "blocks");
    return moved;
}

extern "C" void __wrap_free(void* block) {
    drop(blocks, &block_count, block);
    __real_free(block);
}

extern "C" FILE* __wrap_fopen(const char* path, const char* mode) {
    FILE* file = __real_fopen(path, mode);
    if (watching) keep(files, &file_count, max_files, file, "files");
    return file;
}

extern "C" int __wrap_fclose(FILE* file) {
    drop(files, &file_count, file);
    return __real_fclose(file);
}

void leftovers_watch() {
    watching = true;
}

void leftovers_release() {
    watching = false;
    while (file_count > 0) __real_fclose(files[--file_count]);
    while (block_count > 0) __real_free(blocks[--block_count]);
}

void leftovers_forget() {
    watching = false;
    file_count = 0;
    block_count = 0;
}
