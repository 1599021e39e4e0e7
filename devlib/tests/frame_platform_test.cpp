// SPDX-License-Identifier: LGPL-2.1-or-later
// The version query's platform id decides the access path.
#include <gtest/gtest.h>

#include "platform_mode.h"

namespace tavo {
namespace {

TEST(FramePlatform, PlatformIdGivesTheMode) {
    struct Case {
        bool queried;
        uint32_t platformId;
        bool ntKernel;
        int16_t mode;
    };
    const Case cases[] = {
        {true, 0, false, kModeDirect},  // Win32s
        {true, 1, false, kModeDirect},  // Windows 95/98
        {true, 2, true, kModeDriver},   // NT family: never the port instructions
        // 9x reported on an NT kernel (a compatibility mode, or any 64-bit
        // process): the port instructions would kill it.
        {true, 1, true, kModeDriver},
        {true, 0, true, kModeDriver},
        {true, 3, true, kModeUnsupported},
        {true, 0xFFFFFFFF, false, kModeUnsupported},
        {false, 1, false, kModeUnsupported},  // the query failed: its id means nothing
        {false, 2, true, kModeUnsupported},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.queried << " " << c.platformId << " " << c.ntKernel);
        EXPECT_EQ(accessModeForPlatform(c.queried, c.platformId, c.ntKernel), c.mode);
    }
}

}  // namespace
}  // namespace tavo
