// tools/korvite/tool.h -- what the korvite commands share: their table, the
// fatal error of a command, and whole-file reads and atomic writes.
//
// Each command is one function over its own arguments (after the command's
// name), listed once in commands[] with its usage line; main dispatches on it.
#pragma once
#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tools/korvite/archive_writer.h"

struct command {
    const char* name;
    const char* usage;    // the arguments, as the usage text shows them
    const char* summary;  // one line on what it does
    int (*run)(int argc, char** argv);
};

int pack_command(int argc, char** argv);
int list_command(int argc, char** argv);
int cat_command(int argc, char** argv);
int decode_command(int argc, char** argv);

// The command's usage line on stderr, then exit status 1.
[[noreturn]] void usage_error(const char* name);

// "korvite: <text>" on stderr, then exit status 1. Nothing has been written by
// then: outputs only appear, whole, at the end of a command.
[[noreturn]] void die(const char* format, ...) __attribute__((format(printf, 1, 2)));

// One row of a listing: name, method, stored size, and the length the entry
// loads as.
void print_row(const archive_row& row);

// The whole file; dies when it cannot be read.
std::vector<uint8_t> read_file(const std::string& path);

// Permission bits of an existing file; dies when it cannot be examined.
mode_t file_mode(const std::string& path);

// Permission bits for a new file: 0666 less the umask.
mode_t new_file_mode();

struct output_file {
    std::string path;
    const uint8_t* data;
    size_t size;
    mode_t mode;
};

// Writes each output to a new file beside its path and, once all of them are
// whole, renames them into place, so that each path holds either its old
// contents or all of the new ones. Dies on failure, leaving no new file
// behind.
void write_files_atomically(const std::vector<output_file>& outputs);
void write_file_atomically(const std::string& path, const std::vector<uint8_t>& bytes, mode_t mode);
