// SPDX-License-Identifier: LGPL-2.1-or-later
// TAVO32_BACKEND unset on Linux: the first printer port that opens, over
// scripted ppdev calls, else the bench with the reason said once and kept for
// tavo32_backend().
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <optional>
#include <string>

#include "frame_test_support.h"
#include "library_state.h"
#include "platform.h"
#include "port/bench_port.h"
#include "ppdev_fake.h"
#include "tavo32.h"
#include "tavo32_ext.h"

namespace tavo::frametest {
namespace {

using ppdevtest::FakeSystem;
using ppdevtest::Script;

class FrameAutomatic : public FrameTest {
  protected:
    void SetUp() override {
        FrameTest::SetUp();
        if (const char* v = std::getenv("TAVO32_BACKEND")) saved_ = v;
        unsetenv("TAVO32_BACKEND");
        tavo::testing::useAutomaticSystem([this] { return std::make_unique<FakeSystem>(script_); });
    }
    void TearDown() override {
        tavo::testing::useAutomaticSystem({});
        if (saved_) setenv("TAVO32_BACKEND", saved_->c_str(), 1);
        FrameTest::TearDown();
    }

    // A fresh script whose registers are the built-in bench's at 378H.
    void fresh() {
        script_ = Script{};
        std::string error;
        wires_ = makeBenchPort("", &error);
        script_.wires = wires_.get();
    }

    // The backend the first call chose, and what it said on stderr.
    tavo32_backend_info choose(std::string* said) {
        ::testing::internal::CaptureStderr();
        Escribir_Dig32(0x5A, 0x378, 0);
        Escribir_Dig32(0x5A, 0x378, 0);  // a second call chooses nothing again
        tavo32_backend_info info{};
        EXPECT_EQ(tavo32_backend(&info, sizeof info), 0);
        *said = ::testing::internal::GetCapturedStderr();
        return info;
    }

    Script script_;
    std::unique_ptr<PortIo> wires_;

  private:
    std::optional<std::string> saved_;
};

size_t lines(const std::string& text) {
    size_t n = 0;
    for (char c : text) n += c == '\n';
    return n;
}

TEST_F(FrameAutomatic, FirstPortThatOpensElseTheBenchWithTheReason) {
    using Port = PpdevSystem::KernelPort;
    struct Case {
        const char* name;
        std::vector<Port> kernel;
        std::deque<int> openErrors;
        std::deque<int> claims;
        int32_t backend, reason;
        const char* device;
        int32_t base;
        int32_t error;
        const char* says;  // in the account's text and on stderr; null: stderr stays quiet
    };
    const Case cases[] = {
        {"no port",
         {},
         {},
         {},
         TAVO32_BACKEND_SIM,
         TAVO32_REASON_NO_PORT,
         "",
         0,
         0,
         "simulated bench: no printer port found; set TAVO32_BACKEND=ppdev"},
        {"emulated port",
         {{"/dev/parport0", 0x378}},
         {},
         {},
         TAVO32_BACKEND_PPDEV,
         TAVO32_REASON_PORT_FOUND,
         "/dev/parport0",
         0x378,
         0,
         nullptr},
        {"forbidden port",
         {{"/dev/parport0", 0x378}},
         {EACCES},
         {},
         TAVO32_BACKEND_SIM,
         TAVO32_REASON_PORT_FORBIDDEN,
         "/dev/parport0",
         0x378,
         EACCES,
         "cannot open /dev/parport0: Permission denied; join group lp"},
        {"port held elsewhere",
         {{"/dev/parport0", 0x378}},
         {},
         {PpdevSystem::kClaimPending},
         TAVO32_BACKEND_SIM,
         TAVO32_REASON_PORT_BUSY,
         "/dev/parport0",
         0x378,
         EBUSY,
         "/dev/parport0 is in use by another program"},
        {"no ppdev driver",
         {{"/dev/parport0", 0x378}},
         {ENOENT},
         {},
         TAVO32_BACKEND_SIM,
         TAVO32_REASON_PORT_FAILED,
         "/dev/parport0",
         0x378,
         ENOENT,
         "cannot open /dev/parport0: No such file or directory"},
        {"card at another base",
         {{"/dev/parport0", 0xD010}},
         {},
         {},
         TAVO32_BACKEND_SIM,
         TAVO32_REASON_PORT_ELSEWHERE,
         "/dev/parport0",
         0xD010,
         0,
         "is at D010H, no printer-port base; set TAVO32_BACKEND=ppdev:/dev/parport0=378H"},
        {"second port opens",
         {{"/dev/parport1", 0x278}, {"/dev/parport0", 0x378}},
         {EACCES},
         {},
         TAVO32_BACKEND_PPDEV,
         TAVO32_REASON_PORT_FOUND,
         "/dev/parport1",
         0x278,
         0,
         nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        tavo::testing::resetLibrary();
        fresh();
        script_.kernel = c.kernel;
        script_.openErrors = c.openErrors;
        script_.claims = c.claims;
        std::string said;
        const tavo32_backend_info info = choose(&said);
        EXPECT_EQ(tavo::testing::accessMode(), kModeDirect);
        EXPECT_EQ(info.backend, c.backend);
        EXPECT_EQ(info.reason, c.reason);
        EXPECT_STREQ(info.device, c.device);
        EXPECT_EQ(info.base, c.base);
        EXPECT_EQ(info.error, c.error);
        if (c.says) {
            EXPECT_NE(std::string(info.text).find(c.says), std::string::npos) << info.text;
            EXPECT_EQ(said, std::string("TAVO_32: ") + info.text + "\n");
            EXPECT_EQ(lines(said), 1u);
        } else {
            EXPECT_EQ(said, "");
        }
        // Every claim waits a bounded second at most.
        for (const int wait : script_.claimWaits) EXPECT_LE(wait, 1000);
    }
}

TEST_F(FrameAutomatic, PortTakenCarriesTheCallsAndTheBenchDoesNot) {
    fresh();
    script_.kernel = {{"/dev/parport0", 0x378}};
    std::string said;
    choose(&said);
    EXPECT_FALSE(script_.writes.empty());
    for (const std::string& device : script_.writes) EXPECT_EQ(device, "/dev/parport0");
    // The probe let its claim go before the port was opened for use.
    EXPECT_GE(script_.releases, 1);

    tavo::testing::resetLibrary();
    fresh();
    script_.kernel = {{"/dev/parport0", 0x378}};
    script_.openErrors = {EACCES};
    choose(&said);
    EXPECT_TRUE(script_.writes.empty());
    // On the bench the digital module at address 0 answers.
    EXPECT_GE(Leer_Dig32(0x378, 0), 0);
}

}  // namespace
}  // namespace tavo::frametest
