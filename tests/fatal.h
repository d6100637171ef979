// tests/fatal.h -- death tests on the fatal road: the statement ends the
// process with status 1 and the exact message (matched literally).
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <string>

inline std::string literal(const std::string& message) {
    std::string out;
    for (char c : message) {
        if (std::strchr(".[]()*+?^$|\\{}", c)) out += '\\';
        out += c;
    }
    return out;
}

#define EXPECT_FATAL(statement, message)                                                           \
    EXPECT_EXIT(statement, ::testing::ExitedWithCode(1), literal(message))
