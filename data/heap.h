// data/heap.h -- the internal heap: one block from the general heap, handed out
// by advancing a pointer, given back whole at the end; and l_alloc, the loaders'
// choice between it and the general heap.
//
// Start-up calls h_init once; pictures, the palette table and the DirectDraw
// path's frame buffers come from it; the shutdown roads call h_deinit.
// Alignment exponents: a request with exponent a is aligned to 2^a bytes.
#pragma once
#include <cstdint>

// The heap's state, written by h_init, h_alloc and h_deinit; read by the
// start-up report of what is left. All null while there is no heap.
extern uint8_t* h_base;
extern uint8_t* h_next;  // first free byte
extern uint8_t* h_end;   // one past the last usable byte

void h_init(int32_t size);

// size bytes aligned to 2^a, not cleared; "h_alloc: internal heap is full." when
// they do not fit. Never returns null.
void* h_alloc(int32_t size, int32_t a);

// Gives the block back if there is one; a second call does nothing.
void h_deinit();

// a == 0: size bytes from the general heap, which the caller frees; otherwise
// h_alloc(size, a).
void* l_alloc(int32_t size, int32_t a);

// l_alloc for a size counted in 64 bits (a picture's width x height), so that
// none wraps round: one beyond 2^31 - 1 bytes fails with the message of the
// heap it was meant for, as any request too large for that heap does.
void* l_alloc64(int64_t size, int32_t a);
