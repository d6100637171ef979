// data/heap.cpp -- the internal heap and l_alloc.
#include "data/heap.h"

#include <sanitizer/asan_interface.h>

#include <cstdlib>

#include "system/sys.h"

uint8_t* h_base = nullptr;
uint8_t* h_next = nullptr;
uint8_t* h_end = nullptr;

// Under AddressSanitizer the block's free part is poisoned and each allocation
// unpoisoned as it is handed out, so that a reader writing or reading past its
// picture is caught even though the picture lies inside one large block.
// Elsewhere the two macros do nothing.
void h_init(int32_t size) {
    h_base = static_cast<uint8_t*>(malloc(size > 0 ? static_cast<size_t>(size) : 1));
    if (!h_base) s_panic("h_init: not enough memory.");
    h_next = h_base;
    h_end = h_base + (size > 0 ? size : 0);
    ASAN_POISON_MEMORY_REGION(h_base, static_cast<size_t>(h_end - h_base));
}

void* h_alloc(int32_t size, int32_t a) {
    // Addresses are compared as integers, so that a request past the end is
    // refused without forming an out-of-range pointer. Without a heap, or with
    // an alignment no address of the block can meet, nothing fits.
    if (!h_base || a < 0 || a > 30) s_panic("h_alloc: internal heap is full.");
    uintptr_t align = uintptr_t{1} << a;
    uintptr_t next = reinterpret_cast<uintptr_t>(h_next);
    uintptr_t end = reinterpret_cast<uintptr_t>(h_end);
    uintptr_t start = (next + align - 1) & ~(align - 1);
    if (size < 0 || start < next || start > end || static_cast<uintptr_t>(size) > end - start)
        s_panic("h_alloc: internal heap is full.");
    uint8_t* block = h_base + (start - reinterpret_cast<uintptr_t>(h_base));
    h_next = block + size;
    ASAN_UNPOISON_MEMORY_REGION(block, static_cast<size_t>(size));
    return block;
}

void h_deinit() {
    if (h_base) {
        ASAN_UNPOISON_MEMORY_REGION(h_base, static_cast<size_t>(h_end - h_base));
        free(h_base);
    }
    h_base = h_next = h_end = nullptr;
}

void* l_alloc(int32_t size, int32_t a) {
    if (a != 0) return h_alloc(size, a);
    void* p = malloc(size > 0 ? static_cast<size_t>(size) : 1);
    if (!p || size < 0) {
        free(p);
        s_panic("Unable to allocate %d bytes", size);
    }
    return p;
}

void* l_alloc64(int64_t size, int32_t a) {
    if (size > INT32_MAX) {
        if (a != 0) s_panic("h_alloc: internal heap is full.");
        s_panic("Unable to allocate %lld bytes", static_cast<long long>(size));
    }
    return l_alloc(static_cast<int32_t>(size), a);
}
