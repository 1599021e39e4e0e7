// SPDX-License-Identifier: LGPL-2.1-or-later
// The ppdev backend over scripted system calls: a port held by another
// program, a device that opens only later, one that goes away and comes
// back, and which device serves which base.
#include <gtest/gtest.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>

#include "bus_master.h"
#include "library_state.h"
#include "port/bench_port.h"
#include "port/ppdev_mapping.h"
#include "port/ppdev_system.h"
#include "port/real_ports.h"
#include "ppdev_fake.h"
#include "tavo32.h"

namespace tavo {
namespace {

using ppdevtest::FakeSystem;
using ppdevtest::Script;

std::unique_ptr<PortIo> portOver(Script& s, const std::string& mapping) {
    return makePpdevPortWith(std::make_unique<FakeSystem>(s), mapping);
}

TEST(PpdevPort, PortHeldElsewhereWaitsOnceThenRetriesEverySecond) {
    Script s;
    s.kernel = {{"/dev/parport0", 0x378}};
    s.claims = {PpdevSystem::kClaimPending, PpdevSystem::kClaimPending, 0};
    auto port = portOver(s, "");
    auto engine = makeBusMaster(*port);
    EXPECT_EQ(engine->writeDigital(1, 0x378, 0), -1);
    EXPECT_EQ(engine->writeDigital(1, 0x378, 0), -1);  // within the second: no new try
    s.now += 999;
    EXPECT_FALSE(port->available(0x378));
    s.now += 1;
    EXPECT_FALSE(port->available(0x378));  // still held
    s.now += 1000;
    EXPECT_TRUE(port->available(0x378));  // let go
    // One open; the first claim waits about a second, later ones only look.
    EXPECT_EQ(s.opened, std::vector<std::string>{"/dev/parport0"});
    EXPECT_EQ(s.claimWaits, (std::vector<int>{1000, 0, 0}));
    EXPECT_EQ(s.reports, std::vector<std::string>{"/dev/parport0 is in use by another program"});
    port.reset();
    EXPECT_EQ(s.releases, 1);
    EXPECT_EQ(s.closes, 1);
}

TEST(PpdevPort, RefusedOpenIsRetriedAndEachReasonSaidOnce) {
    Script s;
    s.kernel = {{"/dev/parport0", 0x378}};
    s.openErrors = {EACCES, EACCES, ENOENT, 0};
    s.claims = {EBUSY, 0};
    auto port = portOver(s, "");
    for (int i = 0; i < 4; ++i) {
        EXPECT_FALSE(port->available(0x378)) << i;
        s.now += 1000;
    }
    EXPECT_TRUE(port->available(0x378));
    EXPECT_EQ(s.opened.size(), 5u);
    ASSERT_EQ(s.reports.size(), 3u);
    // A refused open says what to do about it.
    EXPECT_EQ(s.reports[0].rfind("cannot open /dev/parport0: Permission denied (join group lp", 0),
              0u)
        << s.reports[0];
    EXPECT_NE(s.reports[0].find("udev rule"), std::string::npos);
    EXPECT_EQ(s.reports[1], "cannot open /dev/parport0: No such file or directory");
    EXPECT_EQ(s.reports[2], "cannot claim /dev/parport0: Device or resource busy");
    EXPECT_EQ(s.closes, 1);  // the descriptor whose claim was refused
}

TEST(PpdevPort, DevicesServeTheirOwnBases) {
    const std::vector<PpdevSystem::KernelPort> kernel = {
        {"/dev/parport0", 0x378}, {"/dev/parport1", 0xD010}, {"/dev/parport2", 0x278}};
    const struct {
        const char* mapping;
        std::vector<std::pair<uint16_t, const char*>> served;  // base, device (null: none)
        size_t reports;
    } cases[] = {
        // Every port the kernel knows at a printer-port base.
        {"", {{0x378, "/dev/parport0"}, {0x278, "/dev/parport2"}, {0x3BC, nullptr}}, 1},
        // A named device answers only for its own base.
        {"/dev/parport0", {{0x378, "/dev/parport0"}, {0x278, nullptr}, {0x3BC, nullptr}}, 2},
        // A PCI card at D010H mapped to 278H, beside the first port.
        {"/dev/parport1=278H,/dev/parport0",
         {{0x278, "/dev/parport1"}, {0x378, "/dev/parport0"}, {0x3BC, nullptr}},
         1},
        // Not a printer-port base, or unknown to the kernel, and no mapping:
        // that is what is said, once.
        {"/dev/parport1", {{0x378, nullptr}, {0x278, nullptr}}, 1},
        {"/dev/parport7", {{0x378, nullptr}, {0x278, nullptr}}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mapping);
        Script s;
        s.kernel = kernel;
        auto port = portOver(s, c.mapping);
        ASSERT_TRUE(port);
        for (const auto& [base, device] : c.served) {
            SCOPED_TRACE(base);
            s.writes.clear();
            port->write(static_cast<uint16_t>(base + 2), 0xD4);
            EXPECT_EQ(port->available(base), device != nullptr);
            if (device) {
                EXPECT_EQ(s.writes, std::vector<std::string>{device});
            }
        }
        EXPECT_EQ(s.reports.size(), c.reports);
    }
}

TEST(PpdevPort, ACardAtAnotherBaseIsPointedToItsMapping) {
    Script s;
    s.kernel = {{"/dev/parport0", 0xD010}};
    auto port = portOver(s, "");
    EXPECT_FALSE(port->available(0x378));
    ASSERT_EQ(s.reports.size(), 1u);
    EXPECT_EQ(s.reports[0],
              "no parallel port at 378H; /dev/parport0 is at D010H: to use it as 378H, set "
              "TAVO32_BACKEND=ppdev:/dev/parport0=378H");
    s.reports.clear();
    s.kernel = {};  // no card at all: nothing to point to
    s.now += 1000;
    auto bare = portOver(s, "");
    EXPECT_FALSE(bare->available(0x278));
    EXPECT_EQ(s.reports, std::vector<std::string>{"no parallel port at 278H"});
}

// A log's reads through the exports while the device goes away (its register
// ioctls fail, then it cannot even be opened) and comes back.
TEST(PpdevPort, PortThatFailsMidRunIsReopenedWithinASecond) {
    std::string error;
    std::unique_ptr<PortIo> bench = makeBenchPort("", &error);
    ASSERT_TRUE(bench) << error;
    Script s;
    s.kernel = {{"/dev/parport0", 0x378}};
    s.wires = bench.get();
    auto port = portOver(s, "");
    auto engine = makeBusMaster(*port);
    testing::installDirectPath(*engine);
    struct Fresh {
        ~Fresh() { testing::resetLibrary(); }
    } fresh;  // the next test starts from a fresh library
    auto read = [] {
        int16_t c[4] = {0, 0, 0, 0};
        return Leer_Ad8b32(&c[0], &c[1], &c[2], &c[3], 0x378, 0);
    };
    ASSERT_EQ(read(), 0);
    ASSERT_EQ(s.opened.size(), 1u);

    s.ioError = ENODEV;  // unplugged
    EXPECT_EQ(read(), -1);
    EXPECT_EQ(s.closes, 1);  // let go at once
    s.ioError = 0;
    s.openErrors = {ENOENT};
    EXPECT_EQ(read(), -1);  // within the second: not tried, a missing port
    EXPECT_EQ(s.opened.size(), 1u);
    s.now += 1000;
    EXPECT_EQ(read(), -1);  // tried: the device is not there yet
    EXPECT_EQ(s.opened.size(), 2u);
    s.now += 1000;
    EXPECT_EQ(read(), 0);  // plugged in again: reopened and claimed
    EXPECT_EQ(s.opened.size(), 3u);
    EXPECT_EQ(read(), 0);
    EXPECT_EQ(s.opened.size(), 3u);
    ASSERT_GE(s.reports.size(), 2u);
    EXPECT_EQ(s.reports.front(),
              "lost /dev/parport0: No such device; trying it again every second");
    EXPECT_EQ(s.reports.back(), "/dev/parport0 is back");
}

TEST(PpdevPort, MalformedMappingsAreRefused) {
    const char* cases[] = {",",
                           "/dev/parport0=",
                           "/dev/parport0=2F8H",
                           "=378H",
                           "/dev/parport0,/dev/parport0",
                           "/dev/a=378H,/dev/b=0x378"};
    for (const char* mapping : cases) {
        SCOPED_TRACE(mapping);
        Script s;
        EXPECT_EQ(portOver(s, mapping), nullptr);
        ASSERT_EQ(s.reports.size(), 1u);
        EXPECT_EQ(s.reports[0].rfind("ppdev: ", 0), 0u);
    }
    std::vector<PpdevMapping> m;
    std::string error;
    ASSERT_TRUE(parsePpdevMappings("/dev/parport0=3bch,/dev/parport1", &m, &error));
    ASSERT_EQ(m.size(), 2u);
    EXPECT_EQ(m[0].base, 0x3BC);
    EXPECT_EQ(m[1].base, 0);
}

}  // namespace
}  // namespace tavo
