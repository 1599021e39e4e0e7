// SPDX-License-Identifier: LGPL-2.1-or-later
// Shared checks for the frame tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>

#include "frame_export_table.h"
#include "library_state.h"

namespace tavo::frametest {

inline void expectSameOutputs(const Out& a, const Out& b) {
    EXPECT_EQ(a.port, b.port);
    EXPECT_EQ(a.addr, b.addr);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(a.c[i], b.c[i]) << "c" << i;
        EXPECT_EQ(a.buffer[i], b.buffer[i]) << "buffer[" << i << "]";
    }
    EXPECT_EQ(a.elapsed, b.elapsed);
}

inline void expectUntouched(const Out& o) {
    expectSameOutputs(o, Out{});
}

// Every frame test starts from a fresh load and leaves one behind.
class FrameTest : public ::testing::Test {
  protected:
    void SetUp() override { tavo::testing::resetLibrary(); }
    void TearDown() override { tavo::testing::resetLibrary(); }
};

}  // namespace tavo::frametest
