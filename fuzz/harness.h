// fuzz/harness.h -- what the fuzz targets share: the input handed to the engine
// as a file that it loads by name, and runs of the engine in which a fatal
// message is one of the normal outcomes of an input.
//
// Each target's LLVMFuzzerTestOneInput writes its input with fuzz_file and
// runs engine code on it through fuzz_run. The same targets are built with
// libFuzzer (the fuzz preset) and with fuzz/replay_main.cpp in the test trees.
#pragma once
#include <cstddef>
#include <cstdint>

// The internal heap of a run. Smaller than the program's 4 MiB: a picture that
// needs more fails with the heap's own message all the same, and a block this
// size stays on the allocator's fast path, so a run costs microseconds rather
// than the milliseconds of mapping and unmapping 4 MiB under AddressSanitizer.
inline constexpr int32_t fuzz_heap_size = 64 << 10;
// The alignment exponent that start-up gives every picture.
inline constexpr int32_t fuzz_picture_alignment = 2;

// Writes the bytes to this process's input file, named with extension (".gif"),
// and returns its path: in /dev/shm when there is one, else in the temporary
// folder. Every call reuses the same file.
const char* fuzz_file(const uint8_t* data, size_t size, const char* extension);

// Runs body(context) on a freshly set-up engine: the fake backend reset, an
// internal heap of fuzz_heap_size bytes, no archive. When the engine takes its
// fatal road, the road runs as in the program up to the exit, and control
// comes back here instead; the blocks and files the engine left to the end of
// the process are released. Returns true when body returned, false after a
// fatal message.
bool fuzz_run(void (*body)(void* context), void* context);

// Loads the file name through l_loadpic in the output form type, as start-up
// loads a picture, inside fuzz_run. After a picture, reads every one of its
// l_width x l_height x bytes_per_pixel(result) bytes, so that a reader whose
// buffer is smaller than the picture it describes is caught. Returns the
// result code, or -1 after a fatal message.
int32_t fuzz_picture(const char* name, int32_t type, int32_t (*bytes_per_pixel)(int32_t result));

// A property of the engine that an input broke: the text on stderr, then
// abort, which libFuzzer and the replay count as a finding.
[[noreturn]] void fuzz_fail(const char* what);
