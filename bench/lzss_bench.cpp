// LZSS decode and encode against zlib's inflate and deflate (level 6), on 1 MB
// of prose and 1 MB of 8-bit picture. Throughput counts uncompressed bytes;
// "packed" is the compressed size in bytes.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstdio>
#include <vector>

#include "data/lzss.h"
#include "tests/sample_data.h"
#include "tools/korvite/lzss_encode.h"

namespace {

using bytes = std::vector<uint8_t>;

const bytes& input(int64_t which) {
    static const bytes text = text_like(1 << 20);
    static const bytes picture = picture_like(1024, 1024);
    return which == 0 ? text : picture;
}

void name_input(benchmark::State& state) {
    state.SetLabel(state.range(0) == 0 ? "text" : "picture");
}

void finish(benchmark::State& state, size_t packed) {
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(input(state.range(0)).size()));
    state.counters["packed"] = double(packed);
    name_input(state);
}

void BM_LzssDecode(benchmark::State& state) {
    const bytes& data = input(state.range(0));
    bytes packed = lzss_encode(data.data(), data.size());
    bytes out(data.size());
    // The decoder reads through a buffered stream, as it does from the archive
    // file; an in-memory stream keeps the disk out of the figure.
    FILE* f = fmemopen(packed.data(), packed.size(), "rb");
    for (auto _ : state) {
        rewind(f);
        lzss_decode(f, out.data(), int32_t(out.size()), int32_t(packed.size()));
        benchmark::DoNotOptimize(out.data());
    }
    fclose(f);
    if (out != data) state.SkipWithError("round trip differs");
    finish(state, packed.size());
}

void BM_LzssEncode(benchmark::State& state) {
    const bytes& data = input(state.range(0));
    lzss_parse parse = static_cast<lzss_parse>(state.range(1));
    size_t packed = 0;
    for (auto _ : state) {
        bytes out = lzss_encode(data.data(), data.size(), parse);
        packed = out.size();
        benchmark::DoNotOptimize(out.data());
    }
    finish(state, packed);
    static const char* const names[] = {"greedy", "lazy", "optimal"};
    state.SetLabel(std::string(state.range(0) == 0 ? "text" : "picture") + " " +
                   names[state.range(1)]);
}

bytes deflate6(const bytes& data) {
    uLongf size = compressBound(data.size());
    bytes out(size);
    compress2(out.data(), &size, data.data(), data.size(), 6);
    out.resize(size);
    return out;
}

void BM_ZlibInflate(benchmark::State& state) {
    const bytes& data = input(state.range(0));
    bytes packed = deflate6(data);
    bytes out(data.size());
    for (auto _ : state) {
        uLongf size = out.size();
        uncompress(out.data(), &size, packed.data(), packed.size());
        benchmark::DoNotOptimize(out.data());
    }
    if (out != data) state.SkipWithError("round trip differs");
    finish(state, packed.size());
}

void BM_ZlibDeflate6(benchmark::State& state) {
    const bytes& data = input(state.range(0));
    size_t packed = 0;
    for (auto _ : state) {
        bytes out = deflate6(data);
        packed = out.size();
        benchmark::DoNotOptimize(out.data());
    }
    finish(state, packed);
}

BENCHMARK(BM_LzssDecode)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZlibInflate)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LzssEncode)->ArgsProduct({{0, 1}, {0, 1, 2}})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZlibDeflate6)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
