// SPDX-License-Identifier: LGPL-2.1-or-later
// The shared library's dynamic symbol table holds the 20 calls and the
// extensions of tavo32_ext.h, nothing else: internals and the test hooks stay
// hidden.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <sstream>
#include <string>

#include "frame_export_table.h"

namespace {

TEST(FrameSymbols, SharedLibraryExportsTheTwentyCallsAndTheExtensionsOnly) {
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
    for (const std::string& name : tavo::frametest::extensionNames()) expected.insert(name);
    EXPECT_EQ(exported, expected);
}

// Bound by name at run time, as the program does: the library's own state
// is fresh, so the backend chosen here is the one it uses.
TEST(FrameSymbols, CallsBoundByNameRunOnTheChosenBackend) {
    const char* saved = std::getenv("TAVO32_BACKEND");
    const std::string restore = saved ? saved : "";
    setenv("TAVO32_BACKEND", "driver:/dev/frame-test-no-such-driver", 1);
    void* library = dlopen(TAVO32_SHARED_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    using ReadCount = int32_t (*)(int32_t, int32_t);
    auto readCount = reinterpret_cast<ReadCount>(dlsym(library, "Leer_Cuenta32"));
    ASSERT_NE(readCount, nullptr);
    EXPECT_EQ(readCount(0x378, 0), -2);
    setenv("TAVO32_BACKEND", "none", 1);
    EXPECT_EQ(readCount(0x378, 0), -2);  // still the driver path chosen first
    dlclose(library);
    if (saved) {
        setenv("TAVO32_BACKEND", restore.c_str(), 1);
    } else {
        unsetenv("TAVO32_BACKEND");
    }
}

}  // namespace
