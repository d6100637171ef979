// tests/loader_fixture.h -- the fixture of the picture readers' tests: no
// archive, no internal heap, and a fresh scratch folder as the current folder,
// so that every name a test loads comes from a file it wrote there.
#pragma once
#include <gtest/gtest.h>

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

    scratch_dir dir;
    std::filesystem::path previous;
};
