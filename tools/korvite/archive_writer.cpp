// tools/korvite/archive_writer.cpp -- writing and finding appended archives.
#include "tools/korvite/archive_writer.h"

#include <algorithm>
#include <cstring>

#include "tools/korvite/lzss_encode.h"

static constexpr char magic[8] = {'k', 'o', 'r', 'v', 'i', 't', 'e', ','};
static constexpr size_t name_field = 13;

static void put_u32(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
}

static uint32_t get_u32(const uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

void scramble(uint8_t* bytes, size_t count) {
    uint8_t key = 0;
    for (size_t i = 0; i < count; ++i) {
        bytes[i] ^= key;
        key = static_cast<uint8_t>(key + 51);
    }
}

void encode_row(const archive_row& row, uint8_t* out) {
    memset(out, 0, archive_row_size);
    memcpy(out, row.name.data(), std::min(row.name.size(), name_field));
    out[13] = row.method;
    put_u32(out + 16, row.offset);
    put_u32(out + 20, row.unpacked);
    put_u32(out + 24, row.stored);
}

static archive_row decode_row(const uint8_t* in) {
    archive_row row;
    row.name.assign(reinterpret_cast<const char*>(in),
                    strnlen(reinterpret_cast<const char*>(in), name_field));
    row.method = in[13];
    row.offset = get_u32(in + 16);
    row.unpacked = get_u32(in + 20);
    row.stored = get_u32(in + 24);
    return row;
}

void append_directory(std::vector<uint8_t>& out, const std::vector<archive_row>& rows,
                      uint32_t data_size) {
    std::vector<uint8_t> directory(rows.size() * archive_row_size);
    for (size_t i = 0; i < rows.size(); ++i) encode_row(rows[i], &directory[i * archive_row_size]);
    scramble(directory.data(), directory.size());
    out.insert(out.end(), directory.begin(), directory.end());
    uint8_t trailer[archive_trailer_size];
    put_u32(trailer, static_cast<uint32_t>(rows.size()));
    put_u32(trailer + 4, data_size);
    memcpy(trailer + 8, magic, sizeof magic);
    out.insert(out.end(), trailer, trailer + sizeof trailer);
}

packed_entry pack_entry(const std::string& name, const std::vector<uint8_t>& contents, bool store) {
    packed_entry entry;
    entry.row.name = name;
    entry.row.unpacked = static_cast<uint32_t>(contents.size());
    if (!store && !contents.empty()) {
        std::vector<uint8_t> packed = lzss_encode(contents.data(), contents.size());
        if (packed.size() < contents.size()) {
            entry.row.method = method_lzss;
            entry.bytes = std::move(packed);
        }
    }
    if (entry.row.method == method_stored) entry.bytes = contents;
    entry.row.stored = static_cast<uint32_t>(entry.bytes.size());
    return entry;
}

bool append_archive(std::vector<uint8_t>& out, std::vector<packed_entry>& entries) {
    uint64_t total = 0;
    for (const packed_entry& e : entries) total += e.bytes.size();
    if (total > UINT32_MAX) return false;
    std::vector<archive_row> rows;
    uint32_t offset = 0;
    for (packed_entry& e : entries) {
        e.row.offset = offset;
        offset += static_cast<uint32_t>(e.bytes.size());
        out.insert(out.end(), e.bytes.begin(), e.bytes.end());
        rows.push_back(e.row);
    }
    append_directory(out, rows, offset);
    return true;
}

archive_found find_archive(const uint8_t* file, size_t size) {
    archive_found found;
    if (size < archive_trailer_size) return found;
    const uint8_t* trailer = file + size - archive_trailer_size;
    if (memcmp(trailer + 8, magic, sizeof magic) != 0) return found;
    uint64_t n = get_u32(trailer);
    uint64_t d = get_u32(trailer + 4);
    uint64_t below = archive_trailer_size + n * archive_row_size + d;
    if (below > size) {
        found.state = archive_found::damaged;
        return found;
    }
    found.state = archive_found::present;
    found.start = size - below;
    found.data_size = static_cast<uint32_t>(d);
    std::vector<uint8_t> directory(file + found.start + d, trailer);
    scramble(directory.data(), directory.size());
    for (size_t i = 0; i < n; ++i)
        found.rows.push_back(decode_row(&directory[i * archive_row_size]));
    return found;
}

std::string method_name(uint8_t method) {
    if (method == method_stored) return "stored";
    if (method == method_lzss) return "lzss";
    return "method " + std::to_string(method);
}
