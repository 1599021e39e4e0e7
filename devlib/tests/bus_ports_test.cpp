// SPDX-License-Identifier: LGPL-2.1-or-later
// The real-port backends as far as a machine without a printer port allows:
// a port that cannot be reached is refused cleanly and reported once.
#include <gtest/gtest.h>

#include "bus_master.h"
#include "port/real_ports.h"

namespace tavo {
namespace {

size_t occurrences(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

TEST(RealPorts, UnopenableDeviceMakesEveryCallFailOnce) {
    const std::string device = "/nonexistent/parport9";
    auto port = makePpdevPort(device);
    ASSERT_TRUE(port);
    auto engine = makeBusMaster(*port);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(port->available(0x378));
    EXPECT_FALSE(port->available(0x3BC));
    EXPECT_EQ(engine->writeDigital(1, 0x378, 0), -1);
    int16_t c[4] = {7, 7, 7, 7};
    EXPECT_EQ(engine->readAd12(c, 0x278, 0, 0, 0), -1);
    EXPECT_EQ(c[0], 7);
    int16_t p = 0, a = 0;
    EXPECT_EQ(engine->autodetectDigital(&p, &a), -1);
    EXPECT_EQ(p, 0);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(occurrences(err, device), 1u) << err;
    // Accesses that slip through are harmless.
    port->write(0x37A, 0xD4);
    EXPECT_EQ(port->read(0x379), 0xFF);
}

TEST(RealPorts, RawPortAccessIsRefusedWithReasonOrLimitedToPrinterPorts) {
    std::string error;
    auto port = makeIoPort(&error);
    if (!port) {
        EXPECT_FALSE(error.empty());
        return;
    }
    // Granted (root with raw I/O rights): nothing outside the three bases.
    EXPECT_FALSE(port->available(0x000));
    EXPECT_FALSE(port->available(0x2F8));
}

}  // namespace
}  // namespace tavo
