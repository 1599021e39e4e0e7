// SPDX-License-Identifier: LGPL-2.1-or-later
// Each chip model over the bench's wires, checked through its back doors.
#include <gtest/gtest.h>

#include <vector>

#include "sim/bench.h"
#include "sim_wire.h"

namespace {

using simtest::Wire;
using tavo::sim::AdDa8;
using tavo::sim::Bench;
using tavo::sim::EventCounter;
using tavo::sim::Source;
using Bytes = std::vector<uint8_t>;

constexpr uint16_t kBase = 0x378;

// Volts that an 8-bit converter with 2.5 V full scale reads as code.
double v8(int code) {
    return code * 2.5 / 256;
}

TEST(SimIoExpander, OutputsLatchAndPinsAreLatchAndInputs) {
    Bench bench;
    auto* dig = bench.addDigital(kBase, 5);
    Wire w(bench);
    EXPECT_EQ(w.readFrom(0x25, 1), Bytes{0xFF}) << "power-on latch is all ones";
    dig->setInputs(0x0F);
    EXPECT_EQ(w.readFrom(0x25, 1), Bytes{0x0F});
    ASSERT_TRUE(w.writeTo(0x25, {0x3C}));
    EXPECT_EQ(dig->outputs(), 0x3C);
    EXPECT_EQ(w.readFrom(0x25, 2), (Bytes{0x0C, 0x0C}));
    ASSERT_TRUE(w.writeTo(0x25, {0x11, 0xF0}));  // each byte latches in turn
    EXPECT_EQ(dig->outputs(), 0xF0);
    // Successive samples can differ within one transfer; the last value stays.
    dig->setInputSequence({0x12, 0x34});
    EXPECT_EQ(w.readFrom(0x25, 3), (Bytes{0x10, 0x30, 0x30}));
}

struct Ad8Fixture {
    Bench bench;
    AdDa8* ad;
    Wire w{bench};
    explicit Ad8Fixture(std::initializer_list<int> codes) {
        bench.useVirtualTimeForSources();
        ad = bench.addAd8(kBase, 1);
        int i = 0;
        for (int c : codes) ad->setInput(i++, Source::constant(v8(c)));
    }
    Bytes read(int n) { return w.readFrom(0x49, n); }
};

TEST(SimAdDa8, ReadReturnsThePreviousConversionFirst) {
    Ad8Fixture f({10, 20, 30, 40});
    EXPECT_EQ(f.read(1), Bytes{0x80}) << "power-on result";
    ASSERT_TRUE(f.w.writeTo(0x49, {0x42}));  // channel 2
    // The conversion made by the last read (channel 0) comes first.
    EXPECT_EQ(f.read(3), (Bytes{10, 30, 30}));
    ASSERT_TRUE(f.w.writeTo(0x49, {0x43}));
    EXPECT_EQ(f.read(2), (Bytes{30, 40}));
}

TEST(SimAdDa8, AutoIncrementStepsThroughTheModesChannels) {
    Ad8Fixture f({10, 20, 60, 40});
    ASSERT_TRUE(f.w.writeTo(0x49, {0x44}));
    EXPECT_EQ(f.read(6), (Bytes{0x80, 10, 20, 60, 40, 10}));
    // Mode 3 from channel 1 (AIN2-AIN3 = 20), then channel 0 (AIN0-AIN1 = -10),
    // after the pending conversion of channel 1 in mode 0.
    ASSERT_TRUE(f.w.writeTo(0x49, {0x75}));
    EXPECT_EQ(f.read(4), (Bytes{20, 20, uint8_t(-10), 20}));
}

TEST(SimAdDa8, InputModesSelectSingleEndedAndDifferentialChannels) {
    // Inputs: 100, 60, 90, 30 codes; differential results in two's complement.
    const struct {
        uint8_t mode;
        std::vector<int> expect;
    } cases[] = {
        {0, {100, 60, 90, 30}},
        {1, {70, 30, 60}},   // AIN0..2 against AIN3
        {2, {100, 60, 60}},  // AIN0, AIN1, AIN2 against AIN3
        {3, {40, 60}},       // AIN0-AIN1, AIN2-AIN3
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.mode));
        Ad8Fixture f({100, 60, 90, 30});
        for (size_t ch = 0; ch < c.expect.size(); ++ch) {
            ASSERT_TRUE(f.w.writeTo(0x49, {uint8_t(0x40 | c.mode << 4 | ch)}));
            EXPECT_EQ(f.read(2)[1], c.expect[ch]) << "channel " << ch;
        }
    }
    // Negative differences and clamping at the ends of the range.
    Ad8Fixture g({10, 250, 0, 255});
    ASSERT_TRUE(g.w.writeTo(0x49, {0x70}));
    EXPECT_EQ(g.read(2)[1], 0x80) << "-240 clamps to -128";
    ASSERT_TRUE(g.w.writeTo(0x49, {0x71}));
    EXPECT_EQ(g.read(2)[1], 0x80);
    g.ad->setInput(0, Source::constant(3.0));  // above full scale
    ASSERT_TRUE(g.w.writeTo(0x49, {0x40}));
    EXPECT_EQ(g.read(2)[1], 0xFF);
}

TEST(SimAdDa8, DataBytesAfterTheControlByteSetTheOutput) {
    Ad8Fixture f({0, 0, 0, 0});
    f.ad->setInput(1, Source::loopback());
    ASSERT_TRUE(f.w.writeTo(0x49, {0x41, 0x5A, 0xA7}));
    EXPECT_EQ(f.ad->control(), 0x41);
    EXPECT_EQ(f.ad->dac(), 0xA7);
    EXPECT_EQ(f.read(2)[1], 0xA7) << "the output wired back reads its own code";
    // Output disabled: the pin floats and the loop-back reads 0.
    ASSERT_TRUE(f.w.writeTo(0x49, {0x01}));
    EXPECT_EQ(f.read(2)[1], 0);
    EXPECT_EQ(f.ad->dac(), 0xA7);
}

// Counter register access as a master does it: pointer, then data.
struct CounterFixture {
    Bench bench;
    EventCounter* c;
    Wire w{bench};
    CounterFixture() {
        bench.useVirtualTimeForSources();
        c = bench.addCounter(kBase, 1);
    }
    Bytes readAt(uint8_t pointer, int n) {
        w.start();
        EXPECT_TRUE(w.writeByte(0xA2));
        EXPECT_TRUE(w.writeByte(pointer));
        w.start();  // repeated start keeps the pointer
        Bytes out;
        EXPECT_TRUE(w.writeByte(0xA3));
        for (int i = 0; i < n; ++i) out.push_back(w.readByte(i + 1 < n));
        w.stop();
        return out;
    }
};

TEST(SimEventCounter, BcdCountLeastSignificantPairFirstAndPointerAdvance) {
    CounterFixture f;
    ASSERT_TRUE(f.w.writeTo(0x51, {0x01, 0x56, 0x34, 0x12}));
    EXPECT_EQ(f.c->count(), 123456u);
    EXPECT_EQ(f.c->pointer(), 0x04);
    EXPECT_EQ(f.readAt(0x01, 3), (Bytes{0x56, 0x34, 0x12}));
    EXPECT_EQ(f.c->pointer(), 0x04);
    ASSERT_TRUE(f.w.writeTo(0x51, {0x09, 0x99, 0x99, 0x99}));
    EXPECT_EQ(f.c->alarmCount(), 999999u);
    // A read without a pointer goes on from where the pointer stands.
    EXPECT_EQ(f.w.readFrom(0x51, 2), (Bytes{0x00, 0x00}));  // registers 0x0C, 0x0D
    EXPECT_EQ(f.c->pointer(), 0x0E);
    // The pointer wraps after register 0xFF.
    ASSERT_TRUE(f.w.writeTo(0x51, {0xFF, 0xAB, 0xCD}));
    EXPECT_EQ(f.c->reg(0xFF), 0xAB);
    EXPECT_EQ(f.c->reg(0x00), 0xCD);
}

TEST(SimEventCounter, CountsOnlyInEventModeWhileNotStopped) {
    CounterFixture f;
    f.c->addEvents(5);
    EXPECT_EQ(f.c->count(), 0u) << "power-on: clock mode, no events counted";
    ASSERT_TRUE(f.w.writeTo(0x51, {0x00, 0x20, 0x98, 0x99, 0x99}));  // count 999998
    f.c->addEvents(5);
    EXPECT_EQ(f.readAt(0x01, 3), (Bytes{0x03, 0x00, 0x00})) << "wraps after 999999";
    ASSERT_TRUE(f.w.writeTo(0x51, {0x00, 0xE0}));  // stop and hold
    f.c->addEvents(7);
    EXPECT_EQ(f.c->count(), 3u);
    // Hold alone freezes the registers; the events show once it is released.
    ASSERT_TRUE(f.w.writeTo(0x51, {0x00, 0x60}));
    f.c->addEvents(4);
    EXPECT_EQ(f.readAt(0x01, 1), Bytes{0x03});
    ASSERT_TRUE(f.w.writeTo(0x51, {0x00, 0x20}));
    EXPECT_EQ(f.c->count(), 7u);
}

TEST(SimEventCounter, RateIsCountedFromTheClockWhenRegistersAreRead) {
    CounterFixture f;
    f.c->setReg(0, 0x20);
    f.c->setRate(500.0);                                  // one event every 2 ms of virtual time
    for (int i = 0; i < 10000; ++i) f.bench.read(0x300);  // 10 ms
    EXPECT_EQ(f.c->count(), 5u);
    const Bytes regs = f.readAt(0x01, 3);
    EXPECT_EQ(regs[0], 0x05) << "the transfer itself is too short for another event";
    ASSERT_TRUE(f.w.writeTo(0x51, {0x00, 0xA0}));  // stopped: time passes uncounted
    for (int i = 0; i < 10000; ++i) f.bench.read(0x300);
    EXPECT_EQ(f.c->count(), 5u);
}

TEST(SimEventCounter, AlarmFlagRisesWhenTheCountPassesTheAlarm) {
    CounterFixture f;
    ASSERT_TRUE(f.w.writeTo(0x51, {0x08, 0x10, 0x05, 0x00, 0x00}));  // event alarm at 5
    ASSERT_TRUE(f.w.writeTo(0x51, {0x00, 0x24}));                    // counting, alarm enabled
    f.c->addEvents(4);
    EXPECT_EQ(f.readAt(0x00, 1)[0] & EventCounter::kAlarmFlag, 0);
    f.c->addEvents(3);
    EXPECT_EQ(f.readAt(0x00, 1)[0] & EventCounter::kAlarmFlag, EventCounter::kAlarmFlag);
}

}  // namespace
