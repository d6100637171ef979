// fuzz/make_seeds.cpp -- writes the seed corpora: small valid inputs of each
// target, made with the disk builder's own archive and LZSS writers, giflib and
// libjpeg-turbo. Run by hand when the seeds should change, with the corpus
// folder as its argument; the files it writes are committed.
#include <gif_lib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

// jpeglib.h needs FILE and size_t declared before it.
#include <jpeglib.h>

#include "tools/korvite/archive_writer.h"
#include "tools/korvite/lzss_encode.h"

namespace {

using bytes = std::vector<uint8_t>;

std::filesystem::path corpus;

void write_seed(const std::string& target, const std::string& name, const bytes& data) {
    std::filesystem::path folder = corpus / target;
    std::filesystem::create_directories(folder);
    std::ofstream(folder / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
}

[[noreturn]] void fail(const char* what) {
    fprintf(stderr, "fuzz_make_seeds: %s\n", what);
    exit(1);
}

// A picture's pixels as a pattern of w x h indices below colours: bands,
// a diagonal and a little noise, so that the encoders meet runs and changes.
bytes pattern(int w, int h, int colours) {
    bytes p(size_t(w) * size_t(h));
    uint32_t noise = 12345;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            noise = noise * 1103515245 + 12345;
            int v = (x / 4 + y / 3) % colours;
            if (x == y) v = colours - 1;
            if ((noise >> 16) % 17 == 0) v = int(noise >> 8) % colours;
            p[size_t(y) * size_t(w) + size_t(x)] = uint8_t(v);
        }
    return p;
}

// ---- LZSS: unpacked size and stored size (16-bit each), then the stream.

void lzss_seed(const std::string& name, const bytes& contents, lzss_parse parse) {
    bytes stream = lzss_encode(contents.data(), contents.size(), parse);
    bytes seed{uint8_t(contents.size()), uint8_t(contents.size() >> 8), uint8_t(stream.size()),
               uint8_t(stream.size() >> 8)};
    seed.insert(seed.end(), stream.begin(), stream.end());
    write_seed("lzss", name, seed);
}

void lzss_seeds() {
    std::string text;
    while (text.size() < 3000) text += "the quick brown fox jumps over the lazy dog; ";
    lzss_seed("text-optimal", bytes(text.begin(), text.end()), lzss_parse::optimal);
    lzss_seed("text-greedy", bytes(text.begin(), text.begin() + 200), lzss_parse::greedy);
    lzss_seed("run", bytes(600, 'a'), lzss_parse::lazy);
    lzss_seed("spaces", bytes(40, ' '), lzss_parse::optimal);
    lzss_seed("picture", pattern(80, 60, 16), lzss_parse::optimal);
    bytes literals;
    for (int i = 0; i < 64; ++i) literals.push_back(uint8_t(i * 37));
    lzss_seed("literals", literals, lzss_parse::optimal);
}

// ---- Archives: a host program with an archive appended, as korvite pack
// --onto writes it.

void archive_seed(const std::string& name, const std::vector<std::pair<std::string, bytes>>& files,
                  bool store) {
    std::string host = "\x7f"
                       "ELF host program bytes, which the archive never reads";
    bytes out(host.begin(), host.end());
    std::vector<packed_entry> entries;
    for (const auto& [file, contents] : files) entries.push_back(pack_entry(file, contents, store));
    if (!append_archive(out, entries)) fail("archive too large");
    write_seed("archive", name, out);
}

void archive_seeds() {
    std::string text;
    while (text.size() < 500) text += "links and numbers, sixteen screens; ";
    bytes prose(text.begin(), text.end());
    archive_seed("one-lzss", {{"readme.txt", prose}}, false);
    archive_seed("one-stored", {{"LINKS.GIF", pattern(8, 8, 4)}}, true);
    archive_seed("mixed",
                 {{"a.gif", pattern(24, 10, 8)},
                  {"b.rix", bytes(20, 7)},
                  {"empty", {}},
                  {"twelve_chars", prose}},
                 false);
}

// ---- GIF: one image, global colour table, no extensions, as the reader
// takes them.

int to_vector(GifFileType* gif, const GifByteType* data, int length) {
    bytes* out = static_cast<bytes*>(gif->UserData);
    out->insert(out->end(), data, data + length);
    return length;
}

bytes gif_file(int w, int h, int bits) {
    int colours = 1 << bits;
    bytes out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, to_vector, &error);
    if (!gif) fail("EGifOpen");
    ColorMapObject* map = GifMakeMapObject(colours, nullptr);
    for (int i = 0; i < colours; ++i)
        map->Colors[i] = {uint8_t(i * 255 / (colours - 1)), uint8_t(i * 97), uint8_t(255 - i)};
    bytes pixels = pattern(w, h, colours);
    if (EGifPutScreenDesc(gif, w, h, bits, 0, map) == GIF_ERROR ||
        EGifPutImageDesc(gif, 0, 0, w, h, false, nullptr) == GIF_ERROR)
        fail("EGifPut...Desc");
    for (int y = 0; y < h; ++y)
        if (EGifPutLine(gif, &pixels[size_t(y) * size_t(w)], w) == GIF_ERROR) fail("EGifPutLine");
    GifFreeMapObject(map);
    if (EGifCloseFile(gif, &error) == GIF_ERROR) fail("EGifCloseFile");
    return out;
}

void gif_seeds() {
    write_seed("gif", "1x1-2colours.gif", gif_file(1, 1, 1));
    write_seed("gif", "3x2-4colours.gif", gif_file(3, 2, 2));
    write_seed("gif", "40x30-16colours.gif", gif_file(40, 30, 4));
    write_seed("gif", "48x40-256colours.gif", gif_file(48, 40, 8));
    // Enough codes to fill the table to 4096 entries and clear it.
    write_seed("gif", "120x80-4colours.gif", gif_file(120, 80, 2));
}

// ---- RIX: "RIX3", width, height, two unused bytes, a six-bit palette, pixels.

bytes rix_file(int w, int h) {
    bytes out{'R',  'I', 'X', '3', uint8_t(w), uint8_t(w >> 8), uint8_t(h), uint8_t(h >> 8),
              0xAF, 0};
    for (int i = 0; i < 768; ++i) out.push_back(uint8_t((i * 7) % 64));
    bytes pixels = pattern(w, h, 256);
    out.insert(out.end(), pixels.begin(), pixels.end());
    return out;
}

void rix_seeds() {
    write_seed("rix", "2x2.rix", rix_file(2, 2));
    write_seed("rix", "0x0.rix", rix_file(0, 0));
    write_seed("rix", "33x17.rix", rix_file(33, 17));
}

// ---- JPEG: baseline JFIF with the standard tables, grey or colour with 2 x 1
// or 2 x 2 luma sampling, the forms the reader decodes. The first byte of a
// seed is the type the target asks for.

bytes jpeg_file(int w, int h, int components, int h_luma, int v_luma, int quality, bool optimise) {
    jpeg_compress_struct c;
    jpeg_error_mgr errors;
    c.err = jpeg_std_error(&errors);
    jpeg_create_compress(&c);
    unsigned char* memory = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &memory, &size);
    c.image_width = JDIMENSION(w);
    c.image_height = JDIMENSION(h);
    c.input_components = components;
    c.in_color_space = components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, quality, TRUE);
    c.optimize_coding = optimise;
    c.comp_info[0].h_samp_factor = h_luma;
    c.comp_info[0].v_samp_factor = v_luma;
    jpeg_start_compress(&c, TRUE);
    bytes index = pattern(w, h, 256);
    std::vector<JSAMPLE> row(size_t(w) * size_t(components));
    while (c.next_scanline < c.image_height) {
        int y = int(c.next_scanline);
        for (int x = 0; x < w; ++x)
            for (int k = 0; k < components; ++k)
                row[size_t(x * components + k)] =
                    JSAMPLE(index[size_t(y * w + x)] * (k + 1) + x * 3);
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&c, rows, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    bytes out(memory, memory + size);
    free(memory);
    return out;
}

void jpeg_seed(const std::string& name, uint8_t type, const bytes& file) {
    bytes seed{type};
    seed.insert(seed.end(), file.begin(), file.end());
    write_seed("jpeg", name, seed);
}

void jpeg_seeds() {
    jpeg_seed("grey-8x8-type1", 1, jpeg_file(8, 8, 1, 1, 1, 75, false));
    jpeg_seed("grey-20x10-type0", 0, jpeg_file(20, 10, 1, 1, 1, 50, true));
    jpeg_seed("h2v1-17x9-type3", 3, jpeg_file(17, 9, 3, 2, 1, 75, false));
    jpeg_seed("h2v1-24x8-type1", 1, jpeg_file(24, 8, 3, 2, 1, 30, true));
    jpeg_seed("h2v2-17x17-type4", 4, jpeg_file(17, 17, 3, 2, 2, 75, false));
    jpeg_seed("h2v2-32x16-type0", 0, jpeg_file(32, 16, 3, 2, 2, 90, true));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: fuzz_make_seeds CORPUS-FOLDER\n");
        return 1;
    }
    corpus = argv[1];
    lzss_seeds();
    archive_seeds();
    gif_seeds();
    rix_seeds();
    jpeg_seeds();
    return 0;
}
