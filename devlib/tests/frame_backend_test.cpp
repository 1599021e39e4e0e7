// SPDX-License-Identifier: LGPL-2.1-or-later
// Choosing the backend from TAVO32_BACKEND, once per process.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "access_mode.h"
#include "frame_test_support.h"
#include "library_state.h"
#include "sim/sim_factory.h"
#include "tavo32.h"
#include "tavo32_ext.h"

namespace tavo::frametest {
namespace {

TEST(FrameBackendNames, ParseIntoKindAndArgument) {
    using Kind = BackendChoice::Kind;
    struct Case {
        const char* text;
        Kind kind;
        const char* argument;
    };
    const Case cases[] = {
        {nullptr, Kind::Sim, ""},
        {"", Kind::Sim, ""},
        {"sim", Kind::Sim, ""},
        {"sim:benches/lab.bench", Kind::Sim, "benches/lab.bench"},
        {"ppdev:/dev/parport1", Kind::Ppdev, "/dev/parport1"},
        {"ioport", Kind::IoPort, ""},
        {"driver:loopback", Kind::Driver, "loopback"},
        {"none", Kind::None, ""},
        {"ioport:0x378", Kind::Unknown, ""},
        {"simulator", Kind::Unknown, ""},
        {" sim", Kind::Unknown, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text ? c.text : "(unset)");
        const BackendChoice choice = parseBackend(c.text);
        EXPECT_EQ(choice.kind, c.kind);
        EXPECT_EQ(choice.argument, c.argument);
    }
}

// A call that reaches the backend without calibrating the bus first.
int16_t probe() {
    int16_t buffer[1] = {0};
    int32_t elapsed = 0;
    return Leer_Ad12r_Unico32(buffer, 1, &elapsed, 0x378, 0, 0);
}

// Sets TAVO32_BACKEND for one test and puts the old value back.
class FrameBackend : public FrameTest {
  protected:
    void SetUp() override {
        FrameTest::SetUp();
        if (const char* v = std::getenv("TAVO32_BACKEND")) saved_ = v;
    }
    void TearDown() override {
        if (saved_) {
            setenv("TAVO32_BACKEND", saved_->c_str(), 1);
        } else {
            unsetenv("TAVO32_BACKEND");
        }
        FrameTest::TearDown();
    }
    static void use(const char* value) {
        if (value) {
            setenv("TAVO32_BACKEND", value, 1);
        } else {
            unsetenv("TAVO32_BACKEND");
        }
    }

  private:
    std::optional<std::string> saved_;
};

TEST_F(FrameBackend, FirstCallChoosesTheMode) {
    struct Case {
        const char* value;
        int16_t mode;
    };
    const Case cases[] = {
        {nullptr, kModeDirect},
        {"sim", kModeDirect},
        {"ppdev:/dev/frame-test-no-such-parport", kModeDirect},
        {"driver", kModeDriver},
        {"driver:/dev/frame-test-no-such-driver", kModeDriver},
        {"none", kModeUnsupported},
        {"parallel", kModeUnsupported},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value ? c.value : "(unset)");
        tavo::testing::resetLibrary();
        use(c.value);
        EXPECT_EQ(tavo::testing::accessMode(), kModeUndetermined);
        probe();
        EXPECT_EQ(tavo::testing::accessMode(), c.mode);
    }
}

TEST_F(FrameBackend, UnsupportedFailsFirstAndLaterCalls) {
    use("none");
    EXPECT_EQ(Leer_Cuenta32(0x378, 0), -1);
    EXPECT_EQ(Leer_Alarma32(0x378, 0), -1);
    EXPECT_EQ(probe(), -1);  // would be 0 on any path
    EXPECT_EQ(probe(), -1);
}

TEST_F(FrameBackend, UninstalledDriverAnswersMinusTwoOnEveryCall) {
    use("driver:/dev/frame-test-no-such-driver");
    EXPECT_EQ(probe(), -2);
    EXPECT_EQ(Leer_Cuenta32(0x378, 0), -2);
}

TEST_F(FrameBackend, ModeIsFixedByTheFirstCall) {
    use("none");
    EXPECT_EQ(probe(), -1);
    use("sim");
    EXPECT_EQ(probe(), -1);
    EXPECT_EQ(tavo::testing::accessMode(), kModeUnsupported);

    tavo::testing::resetLibrary();
    use("driver");
    EXPECT_EQ(probe(), 0);
    use("none");
    EXPECT_EQ(probe(), 0);  // still through the loopback
    EXPECT_EQ(tavo::testing::accessMode(), kModeDriver);
}

TEST_F(FrameBackend, BenchThatCannotBeLoadedMakesThePlatformUnsupported) {
    const std::string missing = "/nonexistent/frame-test.bench";
    std::string error;
    if (sim::makeSimPort(missing, &error)) GTEST_SKIP() << "this bench accepts any file name";
    use(("sim:" + missing).c_str());
    EXPECT_EQ(probe(), -1);
    EXPECT_EQ(tavo::testing::accessMode(), kModeUnsupported);
}

TEST_F(FrameBackend, QueryChoosesAndTellsWhichBackendAndWhy) {
    struct Case {
        const char* value;
        int32_t backend, reason;
        const char* device;
        const char* text;
    };
    const Case cases[] = {
        {"sim", TAVO32_BACKEND_SIM, TAVO32_REASON_CHOSEN, "", "simulated bench"},
        {"", TAVO32_BACKEND_SIM, TAVO32_REASON_CHOSEN, "", "simulated bench"},
        {"ppdev:/dev/parport1=278H", TAVO32_BACKEND_PPDEV, TAVO32_REASON_CHOSEN,
         "/dev/parport1=278H", "printer ports through ppdev: /dev/parport1=278H"},
        {"ppdev:/dev/parport1=999H", TAVO32_BACKEND_NONE, TAVO32_REASON_UNAVAILABLE,
         "/dev/parport1=999H", "every call answers -1"},
        {"driver", TAVO32_BACKEND_DRIVER, TAVO32_REASON_CHOSEN, "loopback", "loopback"},
        {"none", TAVO32_BACKEND_NONE, TAVO32_REASON_CHOSEN, "",
         "no hardware (TAVO32_BACKEND=none): every call answers -1"},
        {"parallel", TAVO32_BACKEND_NONE, TAVO32_REASON_UNKNOWN_VALUE, "parallel",
         "unknown backend \"parallel\" in TAVO32_BACKEND"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
#ifdef _WIN32
        // Windows drops an empty variable, and has no ppdev device list to
        // refuse a base in.
        if (std::string(c.value).empty() || c.reason == TAVO32_REASON_UNAVAILABLE) continue;
#endif
        tavo::testing::resetLibrary();
        use(c.value);
        ::testing::internal::CaptureStderr();
        tavo32_backend_info info{};
        ASSERT_EQ(tavo32_backend(&info, sizeof info), 0);
        ::testing::internal::GetCapturedStderr();
        EXPECT_NE(tavo::testing::accessMode(), kModeUndetermined);
        EXPECT_EQ(info.backend, c.backend);
        EXPECT_EQ(info.reason, c.reason);
        EXPECT_STREQ(info.device, c.device);
        EXPECT_NE(std::string(info.text).find(c.text), std::string::npos) << info.text;
        // The mode is the one the calls then run on.
        const int16_t expectedMode = c.backend == TAVO32_BACKEND_NONE     ? kModeUnsupported
                                     : c.backend == TAVO32_BACKEND_DRIVER ? kModeDriver
                                                                          : kModeDirect;
        EXPECT_EQ(tavo::testing::accessMode(), expectedMode);
    }
}

TEST_F(FrameBackend, QueryRefusesNoRecordOrTooSmallOne) {
    use("sim");
    tavo32_backend_info info{};
    EXPECT_EQ(tavo32_backend(nullptr, sizeof info), -1);
    EXPECT_EQ(tavo32_backend(&info, sizeof info - 1), -1);
    EXPECT_EQ(info.backend, 0);
    EXPECT_EQ(tavo::testing::accessMode(), kModeUndetermined);  // nothing chosen for them
    EXPECT_EQ(tavo32_backend(&info, sizeof info + 64), 0);      // a later, larger record
    EXPECT_EQ(info.backend, TAVO32_BACKEND_SIM);
}

}  // namespace
}  // namespace tavo::frametest
