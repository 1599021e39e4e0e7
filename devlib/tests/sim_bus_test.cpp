// SPDX-License-Identifier: LGPL-2.1-or-later
// The bench's port model and two-wire decoder, driven edge by edge.
#include <gtest/gtest.h>

#include "sim/bench.h"
#include "sim_wire.h"

namespace {

using simtest::Wire;
using tavo::sim::Bench;
using tavo::sim::I2cDecoder;

constexpr uint16_t kBase = 0x378;

TEST(SimPort, EveryAccessAdvancesTheVirtualClockByOneIoCycle) {
    Bench bench;
    EXPECT_EQ(bench.nowNs(), 0u);
    bench.write(0x37A, 0xD4);
    bench.read(0x379);
    bench.read(0x123);  // no port there: still a bus cycle
    bench.write(0x2FF, 0);
    EXPECT_EQ(bench.nowNs(), 4 * Bench::kIoCycleNs);
    EXPECT_EQ(bench.accesses(), 4u);
    for (int i = 0; i < 2996; ++i) bench.read(0x379);
    EXPECT_EQ(bench.tickMs(), 3u);  // 3000 cycles of 1 us
    EXPECT_EQ(bench.nowNs(), 3000000u);
}

TEST(SimPort, RegistersReadBackLinesAndLatches) {
    Bench bench;
    bench.addDigital(kBase, 0);
    // Idle: both lines released, nothing selected.
    EXPECT_EQ(bench.read(0x379), 0x7F);
    // The master pulling the data line low reads it back low (status bit 3);
    // the clock line is not on the status register.
    bench.write(0x37A, 0xD6);
    EXPECT_EQ(bench.read(0x379), 0x77);
    EXPECT_FALSE(bench.sdaLine(kBase));
    bench.write(0x37A, 0xDC);
    EXPECT_EQ(bench.read(0x379), 0x7F);
    EXPECT_FALSE(bench.sclLine(kBase));
    // Data and control registers read back what was written.
    bench.write(0x378, 0xDF);
    EXPECT_EQ(bench.read(0x378), 0xDF);
    EXPECT_EQ(bench.read(0x37A), 0xDC);
    EXPECT_EQ(bench.dataRegister(kBase), 0xDF);

    // A base without modules reads released lines whatever is written.
    bench.write(0x27A, 0xDE);
    EXPECT_EQ(bench.read(0x279), 0x7F);
    // An address with no port reads an empty bus.
    EXPECT_EQ(bench.read(0x300), 0xFF);
}

TEST(SimBus, StartAndStopAreDataEdgesWhileTheClockIsHigh) {
    Bench bench;
    bench.addDigital(kBase, 0);
    const auto& counts = bench.bus(kBase).counts();
    Wire w(bench);
    w.start();
    EXPECT_EQ(counts.starts, 1u);
    EXPECT_EQ(bench.bus(kBase).state(), I2cDecoder::State::Address);
    // Data edges while the clock is low are data, not conditions.
    w.sda(true);
    w.sda(false);
    EXPECT_EQ(counts.starts, 1u);
    EXPECT_EQ(counts.stops, 0u);
    // A start inside a transfer is a repeated start.
    w.sda(true);
    w.scl(true);
    w.sda(false);
    EXPECT_EQ(counts.starts, 2u);
    EXPECT_EQ(counts.repeatedStarts, 1u);
    w.stop();
    EXPECT_EQ(counts.stops, 1u);
    EXPECT_EQ(bench.bus(kBase).state(), I2cDecoder::State::Idle);
}

// One register write moving both lines: the pulled line goes first, the
// released one follows, so none of these makes a start or a stop.
TEST(SimBus, OneWriteMovingBothLinesNeverMakesAStartOrStop) {
    const struct {
        const char* what;
        uint8_t from;
        uint8_t to;
    } cases[] = {
        {"data falls, clock rises", 0xDC, 0xD6},
        {"clock falls, data rises", 0xD6, 0xDC},
        {"both rise", 0xDE, 0xD4},
        {"both fall", 0xD4, 0xDE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Bench bench;
        bench.addDigital(kBase, 0);
        bench.write(0x37A, c.from);
        const auto before = bench.bus(kBase).counts();
        bench.write(0x37A, c.to);
        EXPECT_EQ(bench.bus(kBase).counts().starts, before.starts);
        EXPECT_EQ(bench.bus(kBase).counts().stops, before.stops);
    }
}

// The write sequence real masters use for a 0 bit after a 1 bit (clock
// low + data high, then data low + clock high in one write) clocks a 0.
TEST(SimBus, DataFallWithClockRiseClocksAZeroBit) {
    Bench bench;
    auto* dig = bench.addDigital(kBase, 3);
    Wire w(bench);
    w.start();
    // Address 0x23 write = 0x46 = 0100 0110, each bit from "clock low".
    const uint8_t address = 0x46;
    for (int bit = 7; bit >= 0; --bit) {
        if ((address >> bit) & 1) {
            bench.write(0x37A, 0xDC);  // data released, clock low
            bench.write(0x37A, 0xD4);  // clock rises
            bench.write(0x37A, 0xDC);  // clock falls
        } else {
            bench.write(0x37A, 0xD6);  // data falls and clock rises together
            bench.write(0x37A, 0xDE);  // clock falls
        }
    }
    bench.write(0x37A, 0xDC);
    bench.write(0x37A, 0xD4);
    EXPECT_FALSE(bench.read(0x379) & 0x08) << "module acknowledges its address";
    EXPECT_EQ(bench.bus(kBase).counts().starts, 1u);
    bench.write(0x37A, 0xDC);
    EXPECT_TRUE(w.writeByte(0x81));
    w.stop();
    EXPECT_EQ(dig->outputs(), 0x81);
}

TEST(SimBus, AddressedChipAcknowledgesOthersStaySilent) {
    Bench bench;
    auto* dig = bench.addDigital(kBase, 2);
    Wire w(bench);

    // Wrong address: the ninth clock reads the line released, and the rest
    // of the transfer is ignored until the stop.
    w.start();
    EXPECT_FALSE(w.writeByte(0x40));
    EXPECT_EQ(bench.bus(kBase).state(), I2cDecoder::State::Ignore);
    EXPECT_FALSE(w.writeByte(0x00));
    w.stop();
    EXPECT_EQ(dig->outputs(), 0xFF);

    // Right address: the chip holds the line low through the ninth clock,
    // even though the master has released it (wired AND).
    w.start();
    for (int bit = 7; bit >= 0; --bit) {
        w.sda((0x44 >> bit) & 1);
        w.scl(true);
        w.scl(false);
    }
    w.sda(true);
    EXPECT_FALSE(w.sdaIn()) << "acknowledge starts at the eighth falling clock";
    w.scl(true);
    EXPECT_FALSE(w.sdaIn());
    w.scl(false);
    EXPECT_TRUE(w.sdaIn()) << "released after the ninth clock";
    EXPECT_TRUE(w.writeByte(0x3C));
    w.stop();
    EXPECT_EQ(dig->outputs(), 0x3C);

    // A chip on another port does not answer here.
    Wire other(bench, 0x278);
    EXPECT_FALSE(other.writeTo(0x22, {0x00}));
    EXPECT_EQ(dig->outputs(), 0x3C);
}

TEST(SimBus, ReadTransferStopsSendingAfterTheMastersNoAcknowledge) {
    Bench bench;
    auto* dig = bench.addDigital(kBase, 0);
    dig->setInputs(0x00);
    Wire w(bench);
    w.start();
    ASSERT_TRUE(w.writeByte(0x41));
    EXPECT_EQ(w.readByte(false), 0x00);
    EXPECT_EQ(bench.bus(kBase).state(), I2cDecoder::State::Ignore);
    // With the chip silent the master reads the released line.
    EXPECT_EQ(w.readByte(false), 0xFF);
    w.stop();
}

}  // namespace
