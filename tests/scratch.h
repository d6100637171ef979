// tests/scratch.h -- a scratch folder for tests that work on real files: made
// fresh under the system's temporary folder, removed with everything in it.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

class scratch_dir {
  public:
    scratch_dir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "korvite-XXXXXX").string();
        if (!mkdtemp(pattern.data())) ADD_FAILURE() << "mkdtemp failed";
        root = pattern;
    }
    ~scratch_dir() {
        std::error_code ignored;
        std::filesystem::remove_all(root, ignored);
    }
    scratch_dir(const scratch_dir&) = delete;
    scratch_dir& operator=(const scratch_dir&) = delete;

    std::string path(const std::string& name) const { return (root / name).string(); }

    std::string write(const std::string& name, const std::vector<uint8_t>& bytes) const {
        std::string p = path(name);
        std::filesystem::create_directories(std::filesystem::path(p).parent_path());
        std::ofstream(p, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        return p;
    }
    std::string write(const std::string& name, const std::string& text) const {
        return write(name, std::vector<uint8_t>(text.begin(), text.end()));
    }

    std::vector<uint8_t> read(const std::string& name) const {
        std::ifstream in(path(name), std::ios::binary);
        return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
    }

    // The names in the folder, hidden ones included, sorted.
    std::vector<std::string> names() const {
        std::vector<std::string> all;
        for (const auto& entry : std::filesystem::directory_iterator(root))
            all.push_back(entry.path().filename().string());
        std::sort(all.begin(), all.end());
        return all;
    }

    std::filesystem::path root;
};

inline std::vector<uint8_t> bytes_of(const std::string& text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}
