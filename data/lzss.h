// data/lzss.h -- the LZSS decoder for compressed archive entries.
//
// Owns the decoder's state: a 4096-byte ring window and the counts of one
// decode. l_loadfile is its only caller; decodes never overlap.
//
// The stream: a flag byte announces the next eight items, bit 0 first; a 1 bit
// is a literal byte, a 0 bit a two-byte reference b1 b2 to the absolute window
// position b1 | (b2 & 0xF0) << 4 with length (b2 & 0x0F) + 3. There is no end
// marker: the decode ends with the last byte it has to produce.
#pragma once
#include <cstdint>
#include <cstdio>

// No stream makes more than 9 output bytes of each input byte: the densest,
// a flag byte and eight two-byte references of 18 bytes, makes 144 of 17.
inline constexpr int32_t lzss_max_expansion = 9;

// Decodes from input, positioned at the entry's first byte, into output: writes
// exactly size bytes and reads at most stored bytes, one at a time through the
// stream's buffer; leaves the file open. Window bytes 0..4077 start as spaces,
// 4078..4095 keep what the previous decode left there. When the input runs
// out first: "lzss_decode: premature end of input file (%d bytes left)", with
// the count of output bytes still missing. A size of 0 reads nothing.
void lzss_decode(FILE* input, uint8_t* output, int32_t size, int32_t stored);
