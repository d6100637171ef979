// tests/jpeg_files.h -- JPEG files for the jpeg tests and benchmark: pictures
// that libjpeg-turbo encodes and decodes (the oracle), and small files of flat
// blocks written bit by bit, whose every sample is known.
#pragma once
#include <cstdint>
#include <vector>

using bytes = std::vector<uint8_t>;

// Layouts of the files below: one component, or Y Cb Cr with the luma
// sampled 2 x 1 or 2 x 2.
enum class sampling { grey, h2v1, h2v2 };

// Samples of a picture drawn like artwork and photographs are: gradients,
// hard edges, fine stripes and a noisy patch; 1 or 3 (red, green, blue)
// bytes per pixel, row after row.
bytes test_picture(int32_t width, int32_t height, int32_t comps, uint32_t seed = 1);

// libjpeg-turbo's baseline JFIF file of samples (as test_picture lays them
// out). optimize asks for Huffman tables made for the picture.
bytes libjpeg_encode(const bytes& samples, int32_t width, int32_t height, sampling layout,
                     int32_t quality, bool optimize);

// libjpeg-turbo's decode into 1 (grey levels) or 3 (red, green, blue) bytes
// per pixel; faithful chooses the float inverse DCT without fancy
// upsampling, otherwise its defaults apply.
bytes libjpeg_decode(const bytes& file, int32_t out_comps, bool faithful);

// A file whose every block holds only a DC coefficient: the quantisation
// value 8 makes each block's samples DC + 128. levels lists the samples of
// the blocks in the order of the scan (for a colour file: the luma blocks of
// an MCU, then Cb, then Cr). h, v are the luma's sampling factors.
struct flat_file {
    int32_t width = 8, height = 8;
    int32_t comps = 1;
    int32_t h = 1, v = 1;
    std::vector<int32_t> levels;
};
bytes write_flat(const flat_file& f);

// Pieces for files put together by hand: a segment with its marker and
// length, and the standard's tables for the flat files.
bytes segment(uint8_t marker, const bytes& payload);
bytes jfif_app0(uint8_t major = 1, uint8_t minor = 1);
bytes frame_header(int32_t width, int32_t height, const std::vector<uint8_t>& sampling_bytes,
                   uint8_t precision = 8, uint8_t marker = 0xC0);
bytes flat_tables(int32_t comps);  // DQT and DHT segments
bytes scan_header(int32_t comps);

// Appends values MSB first and pads the last byte with 1 bits; 0xFF bytes
// get their stuffed 0x00.
class bit_writer {
  public:
    void put(uint32_t value, int32_t count);
    bytes finish();

  private:
    bytes out;
    uint32_t acc = 0;
    int32_t n = 0;
};
