// The shared library's dynamic symbol table holds the 20 calls and nothing
// else: internals and the test hooks stay hidden.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <sstream>
#include <string>

#include "frame_export_table.h"

namespace {

TEST(FrameSymbols, SharedLibraryExportsExactlyTheTwentyCalls) {
    const std::string command = std::string("nm -D --defined-only '") + TAVO32_SHARED_LIBRARY + "'";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string text;
    char chunk[4096];
    while (std::size_t n = std::fread(chunk, 1, sizeof chunk, pipe)) text.append(chunk, n);
    ASSERT_EQ(pclose(pipe), 0) << command;

    // Lines are "address type name".
    std::set<std::string> exported;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        std::string address, type, name;
        if (fields >> address >> type >> name) exported.insert(name);
    }
    std::set<std::string> expected;
    for (const auto& row : tavo::frametest::exportRows()) expected.insert(row.name);
    ASSERT_EQ(expected.size(), 20u);
    EXPECT_EQ(exported, expected);
}

}  // namespace
