// tests/loader_fixture.h -- the fixture of the picture readers' tests: no
// archive, no internal heap, and a fresh scratch folder as the current folder,
// so that every name a test loads comes from a file it wrote there.
#pragma once
#include <gtest/gtest.h>
#include <sanitizer/asan_interface.h>

#include <cstring>
#include <filesystem>

#include "data/archive.h"
#include "data/heap.h"
#include "platform/fake/fake.h"
#include "tests/scratch.h"

class loader_test : public ::testing::Test {
  protected:
    void SetUp() override {
        fake::reset();
        h_deinit();
        open_archive("");  // forget any archive of an earlier test
        previous = std::filesystem::current_path();
        std::filesystem::current_path(dir.root);
    }
    void TearDown() override {
        std::filesystem::current_path(previous);
        h_deinit();
    }

    // Fills the whole internal heap with value, for tests that look at the
    // bytes around a picture. Under AddressSanitizer the heap keeps its free
    // part poisoned; the fill lifts that, and the pattern keeps the watch.
    static void fill_heap(uint8_t value) {
        ASAN_UNPOISON_MEMORY_REGION(h_base, size_t(h_end - h_base));
        memset(h_base, value, size_t(h_end - h_base));
    }

    scratch_dir dir;
    std::filesystem::path previous;
};
