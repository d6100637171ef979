// tests/gif_data.h -- GIF files built byte by byte for the reader's tests: an
// LZW encoder of our own with the choices giflib's never makes, code streams
// packed at the widths the reader expects, sub-blocks and the file around them.
#pragma once
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace gif_data {

using bytes = std::vector<uint8_t>;

inline uint32_t clear_of(int s) {
    return 1u << s;
}
inline uint32_t end_of(int s) {
    return (1u << s) + 1;
}

// Packs code values least significant bit first, each at the width the reader
// reads it: s + 1 after a clear code and at the start, one more each time the
// next entry to be made reaches 2^width, 12 at most. The code after a clear
// code makes no entry; at the start, without a clear code, the first one does.
class code_writer {
  public:
    explicit code_writer(int s) : s_(s) { restart(); }

    uint32_t next() const { return next_; }  // the number of the entry the reader makes next
    uint32_t width() const { return width_; }
    uint32_t clear() const { return 1u << s_; }
    uint32_t first_free() const { return clear() + 2; }

    // c must be below 2^width().
    void put(uint32_t c) {
        bits_ |= uint64_t(c) << count_;
        count_ += int(width_);
        for (; count_ >= 8; count_ -= 8, bits_ >>= 8) out_.push_back(uint8_t(bits_));
        if (c == clear()) {
            restart();
            after_clear_ = true;
        } else if (after_clear_) {
            after_clear_ = false;
        } else if (c != clear() + 1 && next_ < limit_) {
            if (++next_ == limit_ && width_ < 12) width_++, limit_ <<= 1;
        }
    }

    bytes finish() {
        if (count_ > 0) out_.push_back(uint8_t(bits_));
        count_ = 0;
        bits_ = 0;
        return out_;
    }

  private:
    void restart() {
        width_ = uint32_t(s_) + 1;
        limit_ = 1u << width_;
        next_ = first_free();
    }
    int s_;
    uint32_t width_ = 0, limit_ = 0, next_ = 0;
    bool after_clear_ = false;
    uint64_t bits_ = 0;
    int count_ = 0;
    bytes out_;
};

inline bytes pack_codes(int s, const std::vector<uint32_t>& codes) {
    code_writer w(s);
    for (uint32_t c : codes) w.put(c);
    return w.finish();
}

struct lzw_options {
    bool leading_clear = true;
    // A clear code once this many codes are in use; 0 keeps the full table.
    uint32_t clear_at = 4096;
};

// LZW codes for pixels (each below 2^s), ending in the end code. Without a
// leading clear code the reader's first entry is pixel 0 and the first pixel,
// so the encoder starts with that entry too.
inline std::vector<uint32_t> lzw_encode(const bytes& pixels, int s, lzw_options o = {}) {
    const uint32_t clear = clear_of(s), first_free = clear + 2;
    std::vector<uint32_t> codes;
    // Entry of (prefix code, pixel), valid when its stamp is the current one.
    std::vector<uint16_t> entry(size_t(4096) * clear);
    std::vector<uint32_t> stamp(size_t(4096) * clear);
    uint32_t current = 1, next = first_free;
    auto add = [&](uint32_t prefix, uint32_t pixel) {
        entry[prefix * clear + pixel] = uint16_t(next++);
        stamp[prefix * clear + pixel] = current;
    };
    if (o.leading_clear) codes.push_back(clear);
    if (pixels.empty()) {
        codes.push_back(clear + 1);
        return codes;
    }
    if (!o.leading_clear) add(0, pixels[0]);
    uint32_t string = pixels[0];
    for (size_t i = 1; i < pixels.size(); ++i) {
        uint32_t key = string * clear + pixels[i];
        if (stamp[key] == current) {
            string = entry[key];
            continue;
        }
        codes.push_back(string);
        if (next < 4096) add(string, pixels[i]);
        if (o.clear_at && next >= o.clear_at) {
            codes.push_back(clear);
            ++current;
            next = first_free;
        }
        string = pixels[i];
    }
    codes.push_back(string);
    codes.push_back(clear + 1);
    return codes;
}

// Data in sub-blocks of at most block bytes each, then the terminator.
inline bytes sub_blocks(const bytes& data, size_t block = 255) {
    bytes out;
    for (size_t at = 0; at < data.size(); at += block) {
        size_t n = std::min(block, data.size() - at);
        out.push_back(uint8_t(n));
        out.insert(out.end(), data.begin() + long(at), data.begin() + long(at + n));
    }
    out.push_back(0);
    return out;
}

// A whole file: signature, screen descriptor whose flags announce a table of
// 2^(n+1) entries, the table, the image descriptor, s, the data as given and
// the trailer. table may be shorter than 2^(n+1) entries (the rest is 0).
inline bytes gif_file(uint16_t width, uint16_t height, const bytes& table, int n, int s,
                      const bytes& data, const std::string& signature = "GIF89a") {
    bytes out(signature.begin(), signature.end());
    auto u16 = [&](uint16_t v) {
        out.push_back(uint8_t(v));
        out.push_back(uint8_t(v >> 8));
    };
    u16(width);
    u16(height);
    out.push_back(uint8_t(0xF0 | n));
    out.push_back(0);  // background
    out.push_back(0);  // aspect
    bytes colours = table;
    colours.resize(size_t(3) << (n + 1));
    out.insert(out.end(), colours.begin(), colours.end());
    out.push_back(',');
    u16(0);
    u16(0);
    u16(width);
    u16(height);
    out.push_back(0);
    out.push_back(uint8_t(s));
    out.insert(out.end(), data.begin(), data.end());
    out.push_back(';');
    return out;
}

// The file for pixels encoded by lzw_encode, in sub-blocks.
inline bytes encoded_gif(uint16_t width, uint16_t height, const bytes& pixels, const bytes& table,
                         int n, int s, lzw_options o = {}) {
    return gif_file(width, height, table, n, s,
                    sub_blocks(pack_codes(s, lzw_encode(pixels, s, o))));
}

}  // namespace gif_data
