// tools/korvite/lzss_encode.h -- the LZSS encoder of the disk tools: writes the
// stream that the engine's lzss_decode reads back.
//
// The decoder's window starts with spaces at 0..4077 and writes from 4078; a
// reference names an absolute window position and a length of 3 to 18; a flag
// byte announces eight items, bit 0 first, 1 for a literal. Window bytes
// 4078..4095 hold whatever an earlier decode left, so no reference reads them
// before this stream has written them.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// How the encoder chooses between literals and references. greedy takes the
// longest match at every step; lazy gives it up for a literal when the next
// position has a longer one; optimal picks the parse of fewest bits over the
// whole input (a literal costs 9 bits, a reference 17), which is also the
// fewest bytes.
enum class lzss_parse { greedy, lazy, optimal };

std::vector<uint8_t> lzss_encode(const uint8_t* data, size_t size,
                                 lzss_parse parse = lzss_parse::optimal);
