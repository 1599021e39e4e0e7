// The version query's platform id decides the access path.
#include <gtest/gtest.h>

#include "platform_mode.h"

namespace tavo {
namespace {

TEST(FramePlatform, PlatformIdGivesTheMode) {
    struct Case {
        bool queried;
        uint32_t platformId;
        int16_t mode;
    };
    const Case cases[] = {
        {true, 0, kModeDirect},  // Win32s
        {true, 1, kModeDirect},  // Windows 95/98
        {true, 2, kModeDriver},  // NT family: never the port instructions
        {true, 3, kModeUnsupported},  {true, 0xFFFFFFFF, kModeUnsupported},
        {false, 1, kModeUnsupported},  // the query failed: its id means nothing
        {false, 2, kModeUnsupported},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.queried << " " << c.platformId);
        EXPECT_EQ(accessModeForPlatform(c.queried, c.platformId), c.mode);
    }
}

}  // namespace
}  // namespace tavo
