// tests/jpeg_files.cpp -- JPEG files for the jpeg tests and benchmark.
#include "tests/jpeg_files.h"

// jpeglib.h needs FILE and size_t declared before it.
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>
#include <random>

bytes test_picture(int32_t width, int32_t height, int32_t comps, uint32_t seed) {
    std::mt19937 rng(seed);
    bytes out(size_t(width) * height * comps);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
            for (int32_t c = 0; c < comps; ++c) {
                int32_t v = (x * 255 / width + c * 85 + y * 2) % 256;             // gradients
                if ((x / 23 + y / 17) % 4 == 0) v = 40 + 90 * c;                  // flat shapes
                if (x % 31 < 3) v = 255 - v;                                      // hard edges
                if (y > height / 2 && x < width / 3) v = (x + y) % 2 ? 230 : 20;  // stripes
                if (y > height / 2 && x > 2 * width / 3)
                    v = int32_t(rng() % 256);  // noise, for long Huffman codes
                out[(size_t(y) * width + x) * comps + c] = uint8_t(v);
            }
    return out;
}

bytes libjpeg_encode(const bytes& samples, int32_t width, int32_t height, sampling layout,
                     int32_t quality, bool optimize) {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = JDIMENSION(width);
    cinfo.image_height = JDIMENSION(height);
    cinfo.input_components = layout == sampling::grey ? 1 : 3;
    cinfo.in_color_space = layout == sampling::grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    cinfo.optimize_coding = optimize ? TRUE : FALSE;
    if (layout != sampling::grey) {
        cinfo.comp_info[0].h_samp_factor = 2;
        cinfo.comp_info[0].v_samp_factor = layout == sampling::h2v2 ? 2 : 1;
    }
    jpeg_start_compress(&cinfo, TRUE);
    int32_t stride = width * cinfo.input_components;
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(samples.data() + size_t(cinfo.next_scanline) * stride);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    bytes out(buffer, buffer + size);
    free(buffer);
    return out;
}

bytes libjpeg_decode(const bytes& file, int32_t out_comps, bool faithful) {
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, file.data(), static_cast<unsigned long>(file.size()));
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = out_comps == 1 ? JCS_GRAYSCALE : JCS_RGB;
    if (faithful) {
        cinfo.dct_method = JDCT_FLOAT;
        cinfo.do_fancy_upsampling = FALSE;
    }
    jpeg_start_decompress(&cinfo);
    size_t stride = size_t(cinfo.output_width) * out_comps;
    bytes out(stride * cinfo.output_height);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = out.data() + cinfo.output_scanline * stride;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return out;
}

void bit_writer::put(uint32_t value, int32_t count) {
    for (int32_t i = count - 1; i >= 0; --i) {
        acc = acc << 1 | ((value >> i) & 1);
        if (++n == 8) {
            out.push_back(uint8_t(acc));
            if (acc == 0xFF) out.push_back(0x00);
            acc = 0;
            n = 0;
        }
    }
}

bytes bit_writer::finish() {
    if (n > 0) put(0x7F, 8 - n);
    return out;
}

bytes segment(uint8_t marker, const bytes& payload) {
    bytes out = {0xFF, marker, uint8_t((payload.size() + 2) >> 8), uint8_t(payload.size() + 2)};
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
}

bytes jfif_app0(uint8_t major, uint8_t minor) {
    return segment(0xE0, {'J', 'F', 'I', 'F', 0, major, minor, 0, 0, 1, 0, 1, 0, 0});
}

bytes frame_header(int32_t width, int32_t height, const std::vector<uint8_t>& sampling_bytes,
                   uint8_t precision, uint8_t marker) {
    bytes p = {precision,           uint8_t(height >> 8), uint8_t(height),
               uint8_t(width >> 8), uint8_t(width),       uint8_t(sampling_bytes.size())};
    for (size_t i = 0; i < sampling_bytes.size(); ++i) {
        p.push_back(uint8_t(i + 1));
        p.push_back(sampling_bytes[i]);
        p.push_back(i == 0 ? 0 : 1);
    }
    return segment(marker, p);
}

// The standard's luminance DC table: sizes 0..11, codes of 2 to 9 bits.
static const uint8_t dc_bits[16] = {0, 1, 5, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0};

struct code {
    uint32_t bits;
    int32_t length;
};

// The canonical code of DC size s in the table above.
static code dc_code(int32_t s) {
    uint32_t next = 0;
    int32_t k = 0;
    for (int32_t l = 1; l <= 16; ++l) {
        for (int32_t i = 0; i < dc_bits[l - 1]; ++i, ++k, ++next)
            if (k == s) return {next, l};
        next <<= 1;
    }
    return {0, 0};
}

bytes flat_tables(int32_t comps) {
    bytes dqt;
    bytes dht;
    for (uint8_t t = 0; t < (comps == 1 ? 1 : 2); ++t) {
        dqt.push_back(t);
        for (int32_t i = 0; i < 64; ++i) dqt.push_back(8);
        dht.push_back(t);  // DC: sizes 0..11
        dht.insert(dht.end(), dc_bits, dc_bits + 16);
        for (uint8_t s = 0; s < 12; ++s) dht.push_back(s);
        dht.push_back(uint8_t(0x10 | t));  // AC: end of block alone, code "0"
        for (int32_t l = 1; l <= 16; ++l) dht.push_back(l == 1 ? 1 : 0);
        dht.push_back(0x00);
    }
    bytes out = segment(0xDB, dqt);
    bytes huff = segment(0xC4, dht);
    out.insert(out.end(), huff.begin(), huff.end());
    return out;
}

bytes scan_header(int32_t comps) {
    bytes p = {uint8_t(comps)};
    for (int32_t i = 0; i < comps; ++i) {
        p.push_back(uint8_t(i + 1));
        p.push_back(i == 0 ? 0x00 : 0x11);
    }
    p.insert(p.end(), {0, 63, 0});
    return segment(0xDA, p);
}

// A DC difference as its size category and value bits.
static void put_dc(bit_writer& w, int32_t diff) {
    int32_t size = 0;
    for (int32_t m = diff < 0 ? -diff : diff; m; m >>= 1) ++size;
    code c = dc_code(size);
    w.put(c.bits, c.length);
    if (size) w.put(uint32_t(diff < 0 ? diff + (1 << size) - 1 : diff), size);
    w.put(0, 1);  // end of block
}

bytes write_flat(const flat_file& f) {
    bytes out = {0xFF, 0xD8};
    auto add = [&out](const bytes& b) { out.insert(out.end(), b.begin(), b.end()); };
    add(jfif_app0());
    add(flat_tables(f.comps));
    std::vector<uint8_t> factors = {uint8_t(f.h << 4 | f.v)};
    if (f.comps == 3) factors.insert(factors.end(), {0x11, 0x11});
    add(frame_header(f.width, f.height, factors));
    add(scan_header(f.comps));
    bit_writer w;
    int32_t luma_blocks = f.h * f.v;
    int32_t per_mcu = f.comps == 1 ? 1 : luma_blocks + 2;
    int32_t predictor[3] = {0, 0, 0};
    for (size_t i = 0; i < f.levels.size(); ++i) {
        int32_t in_mcu = int32_t(i % per_mcu);
        int32_t c = in_mcu < luma_blocks || f.comps == 1 ? 0 : in_mcu - luma_blocks + 1;
        int32_t dc = f.levels[i] - 128;
        put_dc(w, dc - predictor[c]);
        predictor[c] = dc;
    }
    add(w.finish());
    add({0xFF, 0xD9});
    return out;
}
