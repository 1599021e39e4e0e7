// SPDX-License-Identifier: LGPL-2.1-or-later
// On Windows an unset TAVO32_BACKEND leaves the choice to the version
// query, which under Wine reports the NT family: the driver path, and with
// no driver installed every call answers -2 and writes nothing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "access_mode.h"
#include "frame_test_support.h"
#include "library_state.h"
#include "port/win_version.h"

namespace tavo::frametest {
namespace {

class WinBackend : public FrameTest {
  protected:
    void SetUp() override {
        FrameTest::SetUp();
        if (const char* v = std::getenv("TAVO32_BACKEND")) saved_ = v;
    }
    void TearDown() override {
        _putenv_s("TAVO32_BACKEND", saved_.c_str());  // empty removes it
        FrameTest::TearDown();
    }
    static void use(const char* value) { _putenv_s("TAVO32_BACKEND", value ? value : ""); }

  private:
    std::string saved_;
};

int16_t probe() {
    int16_t buffer[1] = {0};
    int32_t elapsed = 0;
    return Leer_Ad12r_Unico32(buffer, 1, &elapsed, 0x378, 0, 0);
}

TEST_F(WinBackend, FirstCallChoosesTheMode) {
    ASSERT_EQ(windowsAccessMode(), kModeDriver) << "these cases expect the NT family";
    struct Case {
        const char* value;
        int16_t mode;
    };
    const Case cases[] = {
        {nullptr, kModeDriver},           {"sim", kModeDirect},
        {"ppdev", kModeDirect},  // every base out of reach
        {"driver:loopback", kModeDriver}, {"driver:\\\\.\\TVODev", kModeDriver},
        {"ioport", kModeUnsupported},  // port instructions would kill the process
        {"none", kModeUnsupported},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value ? c.value : "(unset)");
        tavo::testing::resetLibrary();
        use(c.value);
        probe();
        EXPECT_EQ(tavo::testing::accessMode(), c.mode);
    }
}

TEST_F(WinBackend, UnsetWithoutDriverAnswersMinusTwoEverywhere) {
    use(nullptr);
    for (int round = 0; round < 2; ++round) {  // the open is retried, and fails again
        for (const ExportRow& row : exportRows()) {
            SCOPED_TRACE(row.name);
            Out out;
            EXPECT_EQ(row.call(out), -2);
            expectUntouched(out);
        }
    }
    EXPECT_FALSE(libraryState().channel.isOpen());
}

}  // namespace
}  // namespace tavo::frametest
