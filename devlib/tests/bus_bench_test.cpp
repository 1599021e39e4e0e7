// SPDX-License-Identifier: LGPL-2.1-or-later
// The bus engine against the simulated bench: the chips answer as the real
// parts do, so a wrong sequence shows up as a wrong value here.
#include <gtest/gtest.h>

#include "bus_master.h"
#include "sim/bench.h"
#include "sim/sim_factory.h"

namespace tavo {
namespace {

using sim::Bench;
using sim::Source;

constexpr uint16_t kBase = 0x378;

// Volts that convert exactly to code on a converter of the given resolution.
double volts(int code, double fullScale, int steps) {
    return code * fullScale / steps;
}

struct BenchFixture {
    Bench bench;
    std::unique_ptr<DirectPath> engine;
    BenchFixture() {
        bench.useVirtualTimeForSources();
        engine = makeBusMaster(bench);
    }
};

TEST(BusOnBench, Ad8ChannelsPerMode) {
    // Inputs 0.5 V apart; differential pairs give two's complement codes.
    const struct {
        int16_t mode;
        int16_t expect[4];
    } cases[] = {
        {0, {40, 80, 120, 160}},
        {1,
         {static_cast<int16_t>(uint8_t(-120)), static_cast<int16_t>(uint8_t(-80)),
          static_cast<int16_t>(uint8_t(-40)), 0}},
        {2, {40, 80, static_cast<int16_t>(uint8_t(-40)), 0}},
        {3, {static_cast<int16_t>(uint8_t(-40)), static_cast<int16_t>(uint8_t(-40)), 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        BenchFixture f;
        auto* ad = f.bench.addAd8(kBase, 4);
        for (int i = 0; i < 4; ++i)
            ad->setInput(i, Source::constant(volts(40 * (i + 1), 2.5, 256)));
        ASSERT_EQ(f.engine->setModeAd8(c.mode, kBase, 4), 0);
        int16_t out[4] = {-1, -1, -1, -1};
        EXPECT_EQ(f.engine->readAd8(out, kBase, 4), 0);
        for (int k = 0; k < 4; ++k) EXPECT_EQ(out[k], c.expect[k]) << "c" << k;
        // The output stays enabled by every control byte.
        EXPECT_TRUE(ad->control() & 0x40);
    }
}

TEST(BusOnBench, Ad8WithoutSetModeReadsFourChannelsAndWritesWithControl0x40) {
    BenchFixture f;
    auto* ad = f.bench.addAd8(kBase, 0);
    for (int i = 0; i < 4; ++i) ad->setInput(i, Source::constant(volts(10 + i, 2.5, 256)));
    EXPECT_EQ(f.engine->writeAd8(0x1C8, kBase, 0), 0);
    EXPECT_EQ(ad->control(), 0x40);
    EXPECT_EQ(ad->dac(), 0xC8);
    int16_t out[4];
    EXPECT_EQ(f.engine->readAd8(out, kBase, 0), 0);
    for (int k = 0; k < 4; ++k) EXPECT_EQ(out[k], 10 + k);
    // A write after a read sends the last channel's control byte.
    EXPECT_EQ(f.engine->writeAd8(7, kBase, 0), 0);
    EXPECT_EQ(ad->control(), 0x43);
    EXPECT_EQ(ad->dac(), 7);
}

TEST(BusOnBench, Ad8TablesAreKeptPerAddressNotPerPort) {
    BenchFixture f;
    auto* a = f.bench.addAd8(kBase, 2);
    auto* b = f.bench.addAd8(0x278, 2);
    ASSERT_EQ(f.engine->setModeAd8(3, kBase, 2), 0);
    a->setInput(0, Source::constant(1.0));
    b->setInput(0, Source::constant(1.0));
    int16_t out[4];
    EXPECT_EQ(f.engine->readAd8(out, 0x278, 2), 0);
    EXPECT_EQ(b->control() & 0x30, 0x30);
}

TEST(BusOnBench, DigitalReadWriteAndDifferingReadings) {
    BenchFixture f;
    auto* dig = f.bench.addDigital(kBase, 6);
    dig->setInputs(0x5A);
    EXPECT_EQ(f.engine->readDigital(kBase, 6), 0x5A);
    EXPECT_EQ(f.engine->writeDigital(0x10F, kBase, 6), 0);
    EXPECT_EQ(dig->outputs(), 0x0F);
    // Pins are the latch AND the outside inputs.
    EXPECT_EQ(f.engine->readDigital(kBase, 6), 0x0A);
    EXPECT_EQ(f.engine->writeDigital(0xFF, kBase, 6), 0);
    dig->setInputSequence({0x12, 0x34});
    EXPECT_EQ(f.engine->readDigital(kBase, 6), -1);
}

TEST(BusOnBench, CounterCountsAndBcd) {
    const struct {
        int32_t written, stored;
    } cases[] = {{123456, 123456}, {999999, 999999}, {1234567, 234567}, {0, 0}, {907, 907}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.written);
        BenchFixture f;
        auto* counter = f.bench.addCounter(kBase, 1);
        counter->setRate(0);
        EXPECT_EQ(f.engine->writeCount(c.written, kBase, 1), 0);
        EXPECT_EQ(counter->count(), static_cast<uint32_t>(c.stored));
        EXPECT_EQ(f.engine->readCount(kBase, 1), c.stored);
        EXPECT_EQ(f.engine->writeAlarm(c.written, kBase, 1), 0);
        EXPECT_EQ(counter->alarmCount(), static_cast<uint32_t>(c.stored));
        EXPECT_EQ(f.engine->readAlarm(kBase, 1), c.stored);
    }
}

TEST(BusOnBench, CounterRegistersAndControl) {
    BenchFixture f;
    auto* counter = f.bench.addCounter(kBase, 0);
    counter->setRate(0);
    counter->setReg(1, 0x56);
    counter->setReg(2, 0x34);
    counter->setReg(3, 0x12);
    EXPECT_EQ(f.engine->readCount(kBase, 0), 123456);
    EXPECT_EQ(f.engine->readRegister(2, kBase, 0), 0x34);
    // Nibbles above 9 are taken at face value.
    counter->setReg(9, 0x0A);
    counter->setReg(10, 0x00);
    counter->setReg(11, 0x00);
    EXPECT_EQ(f.engine->readAlarm(kBase, 0), 10);

    // Start from a register with every bit set: stop, hold and bit 4 are
    // cleared, the low bits kept.
    counter->setReg(0, 0xDF);
    ASSERT_EQ(f.engine->startCounting(kBase, 0), 0);
    EXPECT_EQ(counter->reg(0), 0x2F);
    counter->addEvents(5);
    EXPECT_EQ(f.engine->readCount(kBase, 0), 123461);
    ASSERT_EQ(f.engine->stopCounting(kBase, 0), 0);
    EXPECT_EQ(counter->reg(0) & 0xE0, 0xE0);
    counter->addEvents(5);
    EXPECT_EQ(f.engine->readCount(kBase, 0), 123461);

    counter->setReg(0, 0x24);  // alarm enabled
    ASSERT_EQ(f.engine->startAlarm(kBase, 0), 0);
    EXPECT_EQ(counter->reg(0), 0x20);
    EXPECT_EQ(counter->reg(8), 0x90);
    counter->setReg(0, 0x24);
    counter->setReg(8, 0);
    ASSERT_EQ(f.engine->stopAlarm(kBase, 0), 0);
    EXPECT_EQ(counter->reg(0), 0x20);
    EXPECT_EQ(counter->reg(8), 0x90);
}

TEST(BusOnBench, MissingModuleLeavesOutputs) {
    BenchFixture f;
    f.bench.addAd8(kBase, 0);
    f.bench.addCounter(kBase, 0);
    int16_t out[4] = {5, 5, 5, 5};
    EXPECT_EQ(f.engine->readAd8(out, kBase, 1), -1);
    for (int k = 0; k < 4; ++k) EXPECT_EQ(out[k], 0);
    EXPECT_EQ(f.engine->readDigital(kBase, 0), -1);
    EXPECT_EQ(f.engine->writeDigital(1, kBase, 0), -1);
    EXPECT_EQ(f.engine->readCount(kBase, 1), -1);
    EXPECT_EQ(f.engine->writeCount(1, kBase, 1), -1);
    EXPECT_EQ(f.engine->setModeAd8(1, 0x278, 0), -1);
    // The bus is left usable after an abandoned transfer.
    EXPECT_EQ(f.engine->readAd8(out, kBase, 0), 0);
    int16_t port = 0x278, addr = 3;
    EXPECT_EQ(f.engine->autodetectAd8(&port, &addr), -1);
    EXPECT_EQ(port, 0x278);
    EXPECT_EQ(addr, 3);
}

TEST(BusOnBench, AutodetectionFindsEachFamily) {
    BenchFixture f;
    f.bench.addDigital(0x3BC, 2);
    f.bench.addAd8(0x278, 6);
    f.bench.addCounter(kBase, 0);
    int16_t port = 0, addr = 3;
    EXPECT_EQ(f.engine->autodetectDigital(&port, &addr), 0);
    EXPECT_EQ(port, 0x3BC);
    EXPECT_EQ(addr, 2);
    port = 0;
    addr = 7;  // wraps round to 6
    EXPECT_EQ(f.engine->autodetectAd8(&port, &addr), 0);
    EXPECT_EQ(port, 0x278);
    EXPECT_EQ(addr, 6);
    port = kBase;
    addr = 1;
    EXPECT_EQ(f.engine->autodetectCounter(&port, &addr), 0);
    EXPECT_EQ(port, kBase);
    EXPECT_EQ(addr, 0);
}

// ---- 12-bit converter -----------------------------------------------------

const int kCodes[8] = {100, 900, 1700, 2500, 3300, 4000, 50, 4095};

sim::Ad12Module* addAd12(Bench& bench, int pos, int offset) {
    auto* m = bench.addAd12(kBase, pos);
    for (int i = 0; i < 8; ++i)
        m->setInput(i, Source::constant(volts(kCodes[i] - offset, m->fullScale(), 4096)));
    return m;
}

TEST(Converter12OnBench, FourChannelReads) {
    const struct {
        int16_t differential, upper;
        int16_t expect[4];
    } cases[] = {
        {0, 0, {100, 900, 1700, 2500}},
        {0, 1, {3300, 4000, 50, 4095}},
        {1, 0, {-800, -800, -700, -4045}},
        {-1, 1, {-800, -800, -700, -4045}},
    };
    for (const auto& c : cases) {
        BenchFixture f;
        addAd12(f.bench, 0, 0);
        int16_t out[4] = {};
        EXPECT_EQ(f.engine->readAd12(out, kBase, 0, c.differential, c.upper), 0);
        for (int k = 0; k < 4; ++k) EXPECT_EQ(out[k], c.expect[k]) << "c" << k;
        EXPECT_EQ(f.bench.dataRegister(kBase), 0xDF);
    }
}

TEST(Converter12OnBench, PositionsAndKeptSelectPair) {
    BenchFixture f;
    addAd12(f.bench, 0, 0);
    addAd12(f.bench, 2, 50);
    int16_t out[4];
    EXPECT_EQ(f.engine->readAd12(out, kBase, 2, 0, 0), 0);
    EXPECT_EQ(out[0], 50);
    EXPECT_EQ(out[3], 2450);
    // Position 5 keeps the pair of position 2.
    EXPECT_EQ(f.engine->readAd12(out, kBase, 5, 0, 1), 0);
    EXPECT_EQ(out[0], 3250);
    EXPECT_EQ(f.engine->readAd12(out, kBase, 0, 0, 1), 0);
    EXPECT_EQ(out[0], 3300);
}

TEST(Converter12OnBench, OutputWriteKeepsLowTwelveBits) {
    BenchFixture f;
    auto* m0 = addAd12(f.bench, 0, 0);
    auto* m1 = addAd12(f.bench, 1, 0);
    EXPECT_EQ(f.engine->writeAd12(static_cast<int16_t>(0xF123), kBase, 1), 0);
    EXPECT_EQ(m1->dac(), 0x123);
    EXPECT_EQ(m0->dac(), 0);
    EXPECT_EQ(f.bench.dataRegister(kBase), 0xDF);
    EXPECT_EQ(f.engine->writeAd12(0xFFF, kBase, 0), 0);
    EXPECT_EQ(m0->dac(), 0xFFF);
    EXPECT_EQ(m1->dac(), 0x123);
}

TEST(Converter12OnBench, BlockReadStartsWithPendingConversion) {
    BenchFixture f;
    auto* m = addAd12(f.bench, 0, 0);
    int16_t out[4];
    // Calibrate first: the block read does not.
    ASSERT_EQ(f.engine->readAd12(out, kBase, 0, 0, 0), 0);
    ASSERT_EQ(m->pendingConversion(), 3300);  // primed by the lower block's last command

    int16_t buffer[4] = {-1, -1, -1, -1};
    int32_t elapsed = -1;
    EXPECT_EQ(f.engine->readAd12Block(buffer, 1, &elapsed, kBase, 0, 5), 0);
    EXPECT_EQ(buffer[0], 3300);
    EXPECT_EQ(buffer[1], -1);
    EXPECT_GE(elapsed, 0);
    EXPECT_EQ(f.bench.dataRegister(kBase), 0xDF);

    EXPECT_EQ(f.engine->readAd12Block(buffer, 4, &elapsed, kBase, 0, 7), 0);
    const int16_t expect[4] = {4000, 4095, 4095, 4095};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(buffer[i], expect[i]) << i;
    EXPECT_EQ(f.bench.dataRegister(kBase), 0xDF);

    elapsed = -1;
    EXPECT_EQ(f.engine->readAd12Block(buffer, 0, &elapsed, kBase, 0, 7), 0);
    EXPECT_GE(elapsed, 0);
}

TEST(Converter12OnBench, SharesPortWithBusModules) {
    BenchFixture f;
    auto* m = addAd12(f.bench, 0, 0);
    auto* ad = f.bench.addAd8(kBase, 0);
    auto* dig = f.bench.addDigital(kBase, 0);
    ad->setInput(1, Source::constant(volts(77, 2.5, 256)));
    dig->setInputs(0xC3);
    int16_t out[4];
    ASSERT_EQ(f.engine->readAd12(out, kBase, 0, 0, 0), 0);
    EXPECT_EQ(out[2], 1700);
    ASSERT_EQ(f.engine->readAd8(out, kBase, 0), 0);
    EXPECT_EQ(out[1], 77);
    EXPECT_EQ(f.engine->readDigital(kBase, 0), 0xC3);
    ASSERT_EQ(f.engine->writeAd12(0x456, kBase, 0), 0);
    EXPECT_EQ(m->dac(), 0x456);
    // A stop leaves the clock high; the next output word must still arrive
    // whole, whatever the D/A's shift register held before.
    ASSERT_EQ(f.engine->writeAd12(0xFFF, kBase, 0), 0);
    ASSERT_EQ(f.engine->readDigital(kBase, 0), 0xC3);
    ASSERT_EQ(f.engine->writeAd12(0x555, kBase, 0), 0);
    EXPECT_EQ(m->dac(), 0x555);
    ASSERT_EQ(f.engine->readAd12(out, kBase, 0, 0, 1), 0);
    EXPECT_EQ(out[3], 4095);
}

TEST(BusOnDefaultBench, ModulesAt378Address0) {
    std::string error;
    auto port = sim::makeSimPort("", &error);
    ASSERT_TRUE(port) << error;
    auto engine = makeBusMaster(*port);
    using Detect = int16_t (DirectPath::*)(int16_t*, int16_t*);
    for (Detect detect : {&DirectPath::autodetectDigital, &DirectPath::autodetectAd8,
                          &DirectPath::autodetectCounter}) {
        int16_t p = 0, addr = 1;
        EXPECT_EQ(((*engine).*detect)(&p, &addr), 0);
        EXPECT_EQ(p, kBase);
        EXPECT_EQ(addr, 0);
    }
    int16_t out[4] = {-1, -1, -1, -1};
    EXPECT_EQ(engine->readAd8(out, kBase, 0), 0);
    EXPECT_EQ(engine->readAd12(out, kBase, 0, 0, 0), 0);
    for (int k = 0; k < 4; ++k) EXPECT_TRUE(out[k] >= 0 && out[k] <= 4095);
}

}  // namespace
}  // namespace tavo
