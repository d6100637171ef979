// tools/korvite/lzss_encode.cpp -- the LZSS encoder: hash-chain match finding
// and three ways of parsing.
#include "tools/korvite/lzss_encode.h"

#include <algorithm>
#include <cstring>

// The input is encoded as the tail of one stream that begins with the 4078
// spaces of the decoder's initial window, so that a match may reach back into
// them. Stream index i sits at window position i mod 4096; a source is
// readable while it is at most 4096 behind the byte being produced.
static constexpr size_t window_size = 4096;
static constexpr size_t first_write = 4078;
static constexpr size_t min_length = 3;
static constexpr size_t max_length = 18;
static constexpr int hash_bits = 15;

namespace {

struct match {
    size_t length;  // 0 when no match of min_length or more exists
    size_t source;  // stream index of its first byte
};

// Hash chains over the stream: head holds the latest index with a given hash
// of three bytes, prev links each index to the one before it with the same
// hash. Only the last 4096 indices are ever followed, so prev is a ring.
class match_finder {
  public:
    explicit match_finder(const std::vector<uint8_t>& stream)
        : s(stream), head(size_t{1} << hash_bits, -1), prev(window_size, -1) {}

    // Adds every index before c to the chains.
    void insert_up_to(size_t c) {
        for (; inserted < c; ++inserted) {
            if (inserted + min_length > s.size()) continue;
            uint32_t h = hash(inserted);
            prev[inserted % window_size] = head[h];
            head[h] = static_cast<int64_t>(inserted);
        }
    }

    // The longest match for the bytes at c among the indices inserted so far,
    // the nearest of equal length.
    match longest(size_t c) const {
        size_t limit = std::min(max_length, s.size() - c);
        match best{0, 0};
        if (limit < min_length) return best;
        for (int64_t candidate = head[hash(c)]; candidate >= 0;
             candidate = prev[static_cast<size_t>(candidate) % window_size]) {
            size_t from = static_cast<size_t>(candidate);
            if (c - from > window_size) break;
            // A candidate can only win by matching the byte that ends the best.
            if (best.length > 0 && s[from + best.length] != s[c + best.length]) continue;
            size_t length = 0;
            while (length < limit && s[from + length] == s[c + length]) ++length;
            if (length > best.length && length >= min_length) {
                best = {length, from};
                if (length == limit) break;
            }
        }
        return best;
    }

  private:
    uint32_t hash(size_t i) const {
        uint32_t v = s[i] | s[i + 1] << 8 | s[i + 2] << 16;
        return (v * 2654435761u) >> (32 - hash_bits);
    }

    const std::vector<uint8_t>& s;
    std::vector<int64_t> head;
    std::vector<int64_t> prev;
    size_t inserted = 0;
};

// Collects items into the stream: a flag byte ahead of every eight.
class stream_writer {
  public:
    void literal(uint8_t c) {
        item(true);
        out.push_back(c);
    }
    void reference(const match& m) {
        item(false);
        size_t pos = m.source % window_size;
        out.push_back(static_cast<uint8_t>(pos & 0xFF));
        out.push_back(static_cast<uint8_t>((pos >> 4 & 0xF0) | (m.length - min_length)));
    }
    std::vector<uint8_t> out;

  private:
    void item(bool is_literal) {
        if (items == 8) {
            flag_at = out.size();
            out.push_back(0);
            items = 0;
        }
        if (is_literal) out[flag_at] |= static_cast<uint8_t>(1u << items);
        ++items;
    }
    size_t flag_at = 0;
    int items = 8;
};

// Writes the match at c if there is one, else a literal; returns the next index.
size_t write_item(stream_writer& w, const std::vector<uint8_t>& s, size_t c, const match& m) {
    if (m.length < min_length) {
        w.literal(s[c]);
        return c + 1;
    }
    w.reference(m);
    return c + m.length;
}

void parse_greedy(const std::vector<uint8_t>& s, match_finder& f, stream_writer& w) {
    for (size_t c = first_write; c < s.size();) {
        f.insert_up_to(c);
        c = write_item(w, s, c, f.longest(c));
    }
}

// One step of look-ahead: a literal now pays when the next byte starts a
// longer match.
void parse_lazy(const std::vector<uint8_t>& s, match_finder& f, stream_writer& w) {
    size_t c = first_write;
    f.insert_up_to(c);
    match m = f.longest(c);
    while (c < s.size()) {
        if (m.length >= min_length && m.length < max_length && c + 1 < s.size()) {
            f.insert_up_to(c + 1);
            match next = f.longest(c + 1);
            if (next.length > m.length) {
                w.literal(s[c]);
                ++c;
                m = next;
                continue;
            }
        }
        c = write_item(w, s, c, m);
        if (c < s.size()) {
            f.insert_up_to(c);
            m = f.longest(c);
        }
    }
}

// Shortest path over the positions: from the end back, each position's
// cheapest way on is a literal or a reference of any length up to its longest
// match (every shorter length comes from the same source).
void parse_optimal(const std::vector<uint8_t>& s, match_finder& f, stream_writer& w) {
    size_t n = s.size() - first_write;
    std::vector<match> longest(n);
    for (size_t i = 0; i < n; ++i) {
        f.insert_up_to(first_write + i);
        longest[i] = f.longest(first_write + i);
    }
    std::vector<uint64_t> cost(n + 1, 0);
    std::vector<uint8_t> step(n, 0);  // 0 for a literal, else the reference's length
    for (size_t i = n; i-- > 0;) {
        cost[i] = 9 + cost[i + 1];
        for (size_t length = min_length; length <= longest[i].length; ++length) {
            if (17 + cost[i + length] <= cost[i]) {
                cost[i] = 17 + cost[i + length];
                step[i] = static_cast<uint8_t>(length);
            }
        }
    }
    for (size_t i = 0; i < n;) {
        match m{step[i], longest[i].source};
        i = write_item(w, s, first_write + i, m) - first_write;
    }
}

}  // namespace

std::vector<uint8_t> lzss_encode(const uint8_t* data, size_t size, lzss_parse parse) {
    std::vector<uint8_t> stream(first_write + size, ' ');
    if (size > 0) memcpy(stream.data() + first_write, data, size);
    match_finder finder(stream);
    stream_writer writer;
    switch (parse) {
    case lzss_parse::greedy:
        parse_greedy(stream, finder, writer);
        break;
    case lzss_parse::lazy:
        parse_lazy(stream, finder, writer);
        break;
    case lzss_parse::optimal:
        parse_optimal(stream, finder, writer);
        break;
    }
    return std::move(writer.out);
}
