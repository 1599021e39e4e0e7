// SPDX-License-Identifier: LGPL-2.1-or-later
// Register-level contract of the bus engine: exact order of writes, reads
// and delay reads, checked against a recording port.
#include <gtest/gtest.h>

#include <functional>

#include "bus_master.h"
#include "bus_primitives.h"
#include "bus_recorder.h"
#include "converter12.h"

namespace tavo {
namespace {

using bustest::Expected;
using bustest::PortEvent;
using bustest::RecordingPort;
using bustest::sameAccesses;

constexpr uint16_t kBase = 0x378;

// ---- primitives -----------------------------------------------------------

struct PrimitiveFixture {
    RecordingPort io;
    BusPort bus{io};
    PrimitiveFixture() {
        bus.setBase(kBase);
        bus.delayLong = 2;
        bus.delayShort = 1;
    }
};

TEST(BusPrimitives, StartAndStopConditions) {
    PrimitiveFixture f;
    busStart(f.bus);
    busStop(f.bus);
    Expected e(kBase, 2, 1);
    e.lines(0xD4).lines(0xD6).lines(0xDE);
    e.lines(0xDE).lines(0xD6).lines(0xD4);
    EXPECT_TRUE(sameAccesses(f.io.log, e.events));
}

TEST(BusPrimitives, WriteByteSendsMsbFirstAndReadsAcknowledge) {
    // The acknowledge is the second of the two status readings.
    const struct {
        uint8_t byte;
        uint8_t firstReading, secondReading;
        bool acked;
    } cases[] = {{0xA5, 0xFF, 0x00, true}, {0x3C, 0x00, 0x08, false}, {0x00, 0x00, 0xF7, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.byte);
        PrimitiveFixture f;
        f.io.statusScript = {c.firstReading, c.secondReading};
        EXPECT_EQ(busWriteByte(f.bus, c.byte), c.acked);
        Expected e(kBase, 2, 1);
        e.writeByte(c.byte);
        EXPECT_TRUE(sameAccesses(f.io.log, e.events));
    }
}

TEST(BusPrimitives, ReadByteTakesSecondReadingOfEachBit) {
    for (bool ack : {true, false}) {
        PrimitiveFixture f;
        const uint8_t value = 0xC9;
        for (int bit = 7; bit >= 0; --bit) {
            const bool one = (value >> bit) & 1;
            // First reading deliberately the opposite level.
            f.io.statusScript.push_back(one ? 0x00 : 0xFF);
            f.io.statusScript.push_back(one ? 0x08 : 0xF7);
        }
        EXPECT_EQ(busReadByte(f.bus, ack), value);
        Expected e(kBase, 2, 1);
        e.readByte(ack);
        EXPECT_TRUE(sameAccesses(f.io.log, e.events)) << "ack " << ack;
    }
}

// ---- calibration ----------------------------------------------------------

TEST(BusCalibration, GrowsLongDelayUntil120ReadsLast19Ms) {
    PrimitiveFixture f;
    f.bus.delayLong = 77;
    f.io.ticks = {100, 105, 200, 212, 300, 318, 400, 419};
    calibrateBusDelay(f.bus);
    EXPECT_EQ(f.bus.delayLong, 4);
    EXPECT_EQ(f.bus.delayShort, 2);
    EXPECT_TRUE(f.bus.calibrated);

    // Each round is exactly 120 acknowledged byte reads with the round's delay.
    Expected e(kBase, 0, 0);
    for (int16_t d = 1; d <= 4; ++d) {
        Expected round(kBase, d, 0);
        e.events.push_back({PortEvent::Tick, 0, 0});
        for (int i = 0; i < 120; ++i) round.readByte(true);
        e.events.insert(e.events.end(), round.events.begin(), round.events.end());
        e.events.push_back({PortEvent::Tick, 0, 0});
    }
    EXPECT_TRUE(sameAccesses(f.io.log, e.events));
}

TEST(BusCalibration, ShortDelayRoundsDownAndClockMayWrap) {
    const struct {
        std::deque<uint32_t> ticks;
        int16_t expectLong, expectShort;
    } cases[] = {
        {{0xFFFFFFF0u, 0x00000003u}, 1, 0},  // 19 ms across the wrap of the tick count
        {{0, 18, 0, 18, 0, 30}, 3, 1},
        {{50, 69}, 1, 0},
    };
    for (const auto& c : cases) {
        PrimitiveFixture f;
        f.io.ticks = c.ticks;
        calibrateBusDelay(f.bus);
        EXPECT_EQ(f.bus.delayLong, c.expectLong);
        EXPECT_EQ(f.bus.delayShort, c.expectShort);
    }
}

// ---- operations through the engine ----------------------------------------

// An engine whose first operation calibrates in one round (long 1, short 0).
struct EngineFixture {
    RecordingPort io;
    std::unique_ptr<DirectPath> engine = makeBusMaster(io);
    EngineFixture() { io.ticks = {0, 19}; }
    std::vector<PortEvent> operation() const { return io.afterLastTick(); }
};

int countTicks(const std::vector<PortEvent>& log) {
    int n = 0;
    for (const auto& e : log) n += e.kind == PortEvent::Tick;
    return n;
}

TEST(BusEngine, GoldenSequencesOfEachFamily) {
    const struct {
        const char* name;
        std::function<int32_t(DirectPath&)> call;
        int32_t result;
        std::function<void(Expected&)> expect;
    } cases[] = {
        {"digital write", [](DirectPath& d) { return d.writeDigital(0x1A5, kBase, 3); }, 0,
         [](Expected& e) { e.start().writeByte(0x46).writeByte(0xA5).stop(); }},
        {"digital read", [](DirectPath& d) { return d.readDigital(kBase, 7); }, 0,
         [](Expected& e) { e.start().writeByte(0x4F).readByte(true).readByte(false).stop(); }},
        {"8-bit set mode", [](DirectPath& d) { return d.setModeAd8(2, kBase, 5); }, 0,
         [](Expected& e) { e.start().writeByte(0x9A).writeByte(0x60).stop(); }},
        {"8-bit write right after load", [](DirectPath& d) { return d.writeAd8(0x180, kBase, 1); },
         0, [](Expected& e) { e.start().writeByte(0x92).writeByte(0x40).writeByte(0x80).stop(); }},
        {"counter read", [](DirectPath& d) { return d.readCount(kBase, 1); }, 0,
         [](Expected& e) {
             e.start().writeByte(0xA2).writeByte(0x01).start().writeByte(0xA3);
             e.readByte(true).readByte(true).readByte(false).stop();
         }},
        {"register read", [](DirectPath& d) { return d.readRegister(0x10B, kBase, 0); }, 0,
         [](Expected& e) {
             e.start().writeByte(0xA0).writeByte(0x0B).start().writeByte(0xA1);
             e.readByte(true).readByte(false).stop();
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EngineFixture f;
        EXPECT_EQ(c.call(*f.engine), c.result);
        Expected e(kBase, 1, 0);
        c.expect(e);
        EXPECT_TRUE(sameAccesses(f.operation(), e.events));
    }
}

// Read-modify-write of the counter's control register; the module answers
// 0x00 for it here, so the byte written back is f(0).
void controlUpdate(Expected& e, uint8_t addrByte, uint8_t written) {
    e.start().writeByte(addrByte).writeByte(0x00).start().writeByte(addrByte + 1);
    e.readByte(true).readByte(false).stop();
    e.start().writeByte(addrByte).writeByte(0x00).writeByte(written).stop();
}

TEST(BusEngine, CounterControlSequences) {
    const struct {
        const char* name;
        std::function<int32_t(DirectPath&)> call;
        std::function<void(Expected&)> expect;
    } cases[] = {
        {"stop counting", [](DirectPath& d) { return d.stopCounting(kBase, 1); },
         [](Expected& e) { controlUpdate(e, 0xA2, 0xE0); }},
        {"start counting", [](DirectPath& d) { return d.startCounting(kBase, 1); },
         [](Expected& e) { controlUpdate(e, 0xA2, 0x20); }},
        {"stop alarm", [](DirectPath& d) { return d.stopAlarm(kBase, 0); },
         [](Expected& e) {
             controlUpdate(e, 0xA0, 0x00);
             e.start().writeByte(0xA0).writeByte(0x08).writeByte(0x90).stop();
         }},
        {"start alarm is the same", [](DirectPath& d) { return d.startAlarm(kBase, 0); },
         [](Expected& e) {
             controlUpdate(e, 0xA0, 0x00);
             e.start().writeByte(0xA0).writeByte(0x08).writeByte(0x90).stop();
         }},
        {"count 999999", [](DirectPath& d) { return d.writeCount(999999, kBase, 0); },
         [](Expected& e) {
             controlUpdate(e, 0xA0, 0xE0);
             e.start().writeByte(0xA0).writeByte(0x01);
             e.writeByte(0x99).writeByte(0x99).writeByte(0x99).stop();
         }},
        {"alarm 120034", [](DirectPath& d) { return d.writeAlarm(120034, kBase, 1); },
         [](Expected& e) {
             controlUpdate(e, 0xA2, 0xE0);
             e.start().writeByte(0xA2).writeByte(0x09);
             e.writeByte(0x34).writeByte(0x00).writeByte(0x12).stop();
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EngineFixture f;
        EXPECT_EQ(c.call(*f.engine), 0);
        Expected e(kBase, 1, 0);
        c.expect(e);
        EXPECT_TRUE(sameAccesses(f.operation(), e.events));
    }
}

TEST(BusEngine, UnacknowledgedByteFailsWithoutStop) {
    // nack: which written byte (1-based) is left unacknowledged.
    const struct {
        const char* name;
        int nack;
        std::function<int32_t(DirectPath&)> call;
        std::function<void(Expected&)> expect;
    } cases[] = {
        {"digital write, data byte", 2, [](DirectPath& d) { return d.writeDigital(7, kBase, 0); },
         [](Expected& e) { e.start().writeByte(0x40).writeByte(0x07); }},
        {"digital read, address", 1, [](DirectPath& d) { return d.readDigital(kBase, 0); },
         [](Expected& e) { e.start().writeByte(0x41); }},
        {"8-bit set mode, control byte", 2, [](DirectPath& d) { return d.setModeAd8(1, kBase, 0); },
         [](Expected& e) { e.start().writeByte(0x90).writeByte(0x50); }},
        {"8-bit write, value", 3, [](DirectPath& d) { return d.writeAd8(9, kBase, 0); },
         [](Expected& e) { e.start().writeByte(0x90).writeByte(0x40).writeByte(0x09); }},
        {"counter read, pointer", 2, [](DirectPath& d) { return d.readCount(kBase, 0); },
         [](Expected& e) { e.start().writeByte(0xA0).writeByte(0x01); }},
        {"register read, read address", 3,
         [](DirectPath& d) { return d.readRegister(3, kBase, 0); },
         [](Expected& e) { e.start().writeByte(0xA0).writeByte(0x03).start().writeByte(0xA1); }},
        {"count write, stop counting fails", 1,
         [](DirectPath& d) { return d.writeCount(5, kBase, 0); },
         [](Expected& e) { e.start().writeByte(0xA0); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EngineFixture f;
        f.io.nackAt = {c.nack};
        EXPECT_EQ(c.call(*f.engine), -1);
        Expected e(kBase, 1, 0);
        c.expect(e);
        EXPECT_TRUE(sameAccesses(f.operation(), e.events));
    }
}

TEST(BusEngine, IgnoredAcknowledgesDoNotFail) {
    // The register pointer of a register read and the bytes of a count
    // write are sent without checking their acknowledge.
    EngineFixture f;
    f.io.nackAt = {2};
    EXPECT_EQ(f.engine->readRegister(3, kBase, 0), 0);
    f.io.nackAt.clear();
    f.io.ackClocks = 0;
    f.io.nackAt = {8, 9, 10, 11};  // pointer and BCD bytes, after the stop-counting update
    EXPECT_EQ(f.engine->writeCount(42, kBase, 0), 0);
}

TEST(BusEngine, Ad8ChannelSelectionFailsSilently) {
    // A refused control byte ends the selection without a stop; the read goes on.
    EngineFixture f;
    f.io.nackAt = {2};
    int16_t out[4];
    EXPECT_EQ(f.engine->setModeAd8(3, kBase, 0), -1);
    f.io.log.clear();
    f.io.ackClocks = 0;
    EXPECT_EQ(f.engine->readAd8(out, kBase, 0), 0);
    Expected e(kBase, 1, 0);
    e.start().writeByte(0x90).writeByte(0x70);
    e.start().writeByte(0x91).readByte(true).readByte(false).stop();
    e.start().writeByte(0x90).writeByte(0x71).stop();
    e.start().writeByte(0x91).readByte(true).readByte(false).stop();
    EXPECT_TRUE(sameAccesses(f.io.log, e.events));
}

TEST(BusEngine, Ad8ReadStopsAtFailingChannel) {
    // Channel 1's selection is refused at its address (no control byte, no
    // stop), then its read address too.
    EngineFixture f;
    f.io.nackAt = {4, 5};
    int16_t out[4] = {9, 9, 9, 9};
    EXPECT_EQ(f.engine->readAd8(out, kBase, 0), -1);
    Expected e(kBase, 1, 0);
    e.start().writeByte(0x90).writeByte(0x40).stop();
    e.start().writeByte(0x91).readByte(true).readByte(false).stop();
    e.start().writeByte(0x90);
    e.start().writeByte(0x91);
    EXPECT_TRUE(sameAccesses(f.operation(), e.events));
    EXPECT_EQ(out[1], 0);
    EXPECT_EQ(out[3], 0);
}

TEST(BusEngine, SetModeRecordsModeEvenWithoutModule) {
    EngineFixture f;
    f.io.nackAll = true;
    EXPECT_EQ(f.engine->setModeAd8(3, kBase, 2), -1);
    f.io.nackAll = false;
    f.io.log.clear();
    int16_t out[4];
    EXPECT_EQ(f.engine->readAd8(out, kBase, 2), 0);
    // Two channels: two selections with control bytes 0x70 and 0x71.
    Expected e(kBase, 1, 0);
    for (uint8_t c : {0x70, 0x71}) {
        e.start().writeByte(0x94).writeByte(c).stop();
        e.start().writeByte(0x95).readByte(true).readByte(false).stop();
    }
    EXPECT_TRUE(sameAccesses(f.io.log, e.events));
}

// ---- autodetection --------------------------------------------------------

// Every probe: a one-round calibration, start, the address byte, stop.
void probe(Expected& e, uint8_t addrByte) {
    e.events.push_back({PortEvent::Tick, 0, 0});
    for (int i = 0; i < 120; ++i) e.readByte(true);
    e.events.push_back({PortEvent::Tick, 0, 0});
    e.start().writeByte(addrByte).stop();
}

TEST(BusAutodetect, ProbeOrderWrapsRoundOnceMore) {
    const struct {
        const char* name;
        int family;  // 0 digital, 1 8-bit, 2 counter
        int16_t port, addr;
        std::vector<uint16_t> bases;
        std::vector<uint8_t> addrBytes;  // per base
    } cases[] = {
        {"digital from 5 on all bases",
         0,
         0,
         5,
         {0x378, 0x278, 0x3BC},
         {0x4A, 0x4C, 0x4E, 0x40, 0x42, 0x44, 0x46, 0x48, 0x4A, 0x4C, 0x4E}},
        {"8-bit from 0 on 0x3BC",
         1,
         0x3BC,
         0,
         {0x3BC},
         {0x90, 0x92, 0x94, 0x96, 0x98, 0x9A, 0x9C, 0x9E, 0x90, 0x92, 0x94, 0x96, 0x98, 0x9A, 0x9C,
          0x9E}},
        {"counter from 1 on 0x278", 2, 0x278, 1, {0x278}, {0xA2, 0xA0, 0xA2}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingPort io;
        auto engine = makeBusMaster(io);
        io.nackAll = true;
        for (size_t i = 0; i < c.bases.size() * c.addrBytes.size(); ++i) {
            io.ticks.push_back(0);
            io.ticks.push_back(19);
        }
        int16_t port = c.port, addr = c.addr;
        const int16_t r = c.family == 0   ? engine->autodetectDigital(&port, &addr)
                          : c.family == 1 ? engine->autodetectAd8(&port, &addr)
                                          : engine->autodetectCounter(&port, &addr);
        EXPECT_EQ(r, -1);
        EXPECT_EQ(port, c.port);
        EXPECT_EQ(addr, c.addr);
        std::vector<PortEvent> all;
        for (uint16_t base : c.bases) {
            Expected e(base, 1, 0);
            for (uint8_t b : c.addrBytes) probe(e, b);
            all.insert(all.end(), e.events.begin(), e.events.end());
        }
        EXPECT_TRUE(sameAccesses(io.log, all));
    }
}

TEST(BusAutodetect, FoundStoresBaseAndAddress) {
    RecordingPort io;
    auto engine = makeBusMaster(io);
    // 11 probes fail on 0x378, then 5 and 6 on 0x278; 7 answers.
    for (int i = 1; i <= 13; ++i) io.nackAt.insert(i);
    for (int i = 0; i < 14; ++i) io.ticks.insert(io.ticks.end(), {0, 19});
    int16_t port = 0, addr = 5;
    EXPECT_EQ(engine->autodetectAd8(&port, &addr), 0);
    EXPECT_EQ(port, 0x278);
    EXPECT_EQ(addr, 7);
    Expected e(0x278, 1, 0);
    e.start().writeByte(0x9E).stop();
    EXPECT_TRUE(sameAccesses(io.afterLastTick(), e.events));
    // Autodetection leaves the bus calibrated: the next operation does not calibrate.
    io.log.clear();
    EXPECT_EQ(engine->writeAd8(1, 0x278, 7), 0);
    EXPECT_EQ(countTicks(io.log), 0);
}

// ---- 12-bit converter -----------------------------------------------------

TEST(Converter12Sequences, ConverterTransferSendsCommandAndReadsPreviousResult) {
    PrimitiveFixture f;
    Converter12 conv;
    conv.choosePosition(1);
    const uint16_t result = 0xA5C;
    for (int bit = 11; bit >= 0; --bit) {
        f.io.statusScript.push_back(((result >> bit) & 1) ? 0x10 : 0xEF);
        f.io.statusScript.push_back(0x00);  // the short delay re-reads status
    }
    EXPECT_EQ(conv.converterTransfer(f.bus, 0x5000), result);
    Expected e(kBase, 2, 1);
    e.converterTransfer(0xFB, 0x5000);
    EXPECT_TRUE(sameAccesses(f.io.log, e.events));
}

TEST(Converter12Sequences, OutputTransferSendsLowTwelveBits) {
    PrimitiveFixture f;
    Converter12 conv;
    conv.choosePosition(2);
    conv.outputTransfer(f.bus, 0xF1A5);
    Expected e(kBase, 2, 1);
    e.outputTransfer(0xDF, 0x1A5);
    EXPECT_TRUE(sameAccesses(f.io.log, e.events));
}

TEST(Converter12Sequences, SelectPairByPosition) {
    const struct {
        std::vector<int16_t> positions;
        uint8_t converter, output;
    } cases[] = {
        {{0}, 0xFE, 0xFD},     {{1}, 0xFB, 0xF7},
        {{2}, 0xEF, 0xDF},     {{1, 3}, 0xFB, 0xF7},  // out of range keeps the previous pair
        {{2, -1}, 0xEF, 0xDF}, {{7}, 0x00, 0x00},     // nothing chosen yet
    };
    for (const auto& c : cases) {
        PrimitiveFixture f;
        Converter12 conv;
        for (int16_t p : c.positions) conv.choosePosition(p);
        conv.converterTransfer(f.bus, 0);
        conv.outputTransfer(f.bus, 0);
        Expected e(kBase, 2, 1);
        e.converterTransfer(c.converter, 0).outputTransfer(c.output, 0);
        EXPECT_TRUE(sameAccesses(f.io.log, e.events));
    }
}

TEST(Converter12Engine, FourChannelReadCalibratesThroughDigitalRead) {
    // No module acknowledges: the calibrating digital read fails at its
    // address (no stop) and every 12-bit data bit reads 1.
    const struct {
        int16_t differential, upper;
        std::vector<uint16_t> firstCommands;  // per block
        int16_t expect;
    } cases[] = {
        {0, 0, {0x0000}, 4095},
        {0, 1, {0x4000}, 4095},
        {1, 1, {0x0000, 0x4000}, 0},
    };
    for (const auto& c : cases) {
        EngineFixture f;
        f.io.nackAll = true;
        int16_t out[4] = {1, 2, 3, 4};
        EXPECT_EQ(f.engine->readAd12(out, 0x278, 1, c.differential, c.upper), 0);
        Expected e(0x278, 1, 0);
        e.start().writeByte(0x41);
        for (uint16_t first : c.firstCommands) {
            for (int i = 0; i < 5; ++i) e.converterTransfer(0xFB, first + 0x1000 * i);
            e.endSelect();
        }
        EXPECT_TRUE(sameAccesses(f.operation(), e.events));
        for (int k = 0; k < 4; ++k) EXPECT_EQ(out[k], c.expect);
    }
}

TEST(Converter12Engine, OutputWriteCalibratesThroughDigitalRead) {
    EngineFixture f;
    f.io.nackAll = true;
    EXPECT_EQ(f.engine->writeAd12(0x800, 0x278, 1), 0);
    Expected e(0x278, 1, 0);
    e.start().writeByte(0x41);
    e.outputTransfer(0xF7, 0x800);
    EXPECT_TRUE(sameAccesses(f.operation(), e.events));
}

TEST(Converter12Engine, CalibratedBusSkipsDigitalRead) {
    EngineFixture f;
    ASSERT_EQ(f.engine->writeDigital(0, kBase, 0), 0);
    f.io.log.clear();
    EXPECT_EQ(f.engine->writeAd12(0x800, kBase, 0), 0);
    Expected e(kBase, 1, 0);
    e.outputTransfer(0xFD, 0x800);
    EXPECT_TRUE(sameAccesses(f.io.log, e.events));
}

TEST(Converter12Engine, BlockReadUsesDelaysAsTheyAreAndReportsElapsed) {
    // A negative count reads nothing, as through the driver.
    for (int16_t count : {-2, 0, 1, 3}) {
        SCOPED_TRACE(count);
        RecordingPort io;
        auto engine = makeBusMaster(io);
        io.ticks = {1000, 1042};
        io.nackAll = true;
        int16_t buffer[3] = {-7, -7, -7};
        int32_t elapsed = -1;
        EXPECT_EQ(engine->readAd12Block(buffer, count, &elapsed, kBase, 0, 0x1B), 0);
        EXPECT_EQ(elapsed, 42);
        Expected e(kBase, 0, 0);
        e.events.push_back({PortEvent::Tick, 0, 0});
        for (int i = 0; i < count; ++i) e.converterTransfer(0xFE, 0xB000);
        e.endSelect();
        e.events.push_back({PortEvent::Tick, 0, 0});
        EXPECT_TRUE(sameAccesses(io.log, e.events));
        for (int i = 0; i < 3; ++i) EXPECT_EQ(buffer[i], i < count ? 4095 : -7);
    }
}

// ---- refusals that touch nothing ------------------------------------------

TEST(BusEngine, RefusedCallsTouchNeitherPortNorState) {
    using Call = std::function<int32_t(DirectPath&)>;
    int16_t c[4] = {};
    int16_t buffer[4] = {};
    int32_t elapsed = 0;
    const struct {
        const char* name;
        Call call;
    } cases[] = {
        {"digital write, port 0", [](DirectPath& d) { return d.writeDigital(1, 0, 0); }},
        {"digital read, port 0", [](DirectPath& d) { return d.readDigital(0, 0); }},
        {"8-bit set mode, port 0", [](DirectPath& d) { return d.setModeAd8(1, 0, 0); }},
        {"8-bit read, port 0", [&](DirectPath& d) { return d.readAd8(c, 0, 0); }},
        {"8-bit write, port 0", [](DirectPath& d) { return d.writeAd8(1, 0, 0); }},
        {"count write, port 0", [](DirectPath& d) { return d.writeCount(1, 0, 0); }},
        {"stop counting, port 0", [](DirectPath& d) { return d.stopCounting(0, 0); }},
        {"start counting, port 0", [](DirectPath& d) { return d.startCounting(0, 0); }},
        {"stop alarm, port 0", [](DirectPath& d) { return d.stopAlarm(0, 0); }},
        {"start alarm, port 0", [](DirectPath& d) { return d.startAlarm(0, 0); }},
        {"alarm write, port 0", [](DirectPath& d) { return d.writeAlarm(1, 0, 0); }},
        {"count read, port 0", [](DirectPath& d) { return d.readCount(0, 0); }},
        {"alarm read, port 0", [](DirectPath& d) { return d.readAlarm(0, 0); }},
        {"register read, port 0", [](DirectPath& d) { return d.readRegister(1, 0, 0); }},
        {"unreachable port", [](DirectPath& d) { return d.writeDigital(1, 0x3BC, 0); }},
        {"unreachable port, 12-bit read",
         [&](DirectPath& d) { return d.readAd12(c, 0x3BC, 0, 0, 0); }},
        {"unreachable port, 12-bit write", [](DirectPath& d) { return d.writeAd12(1, 0x3BC, 0); }},
        {"unreachable port, block read",
         [&](DirectPath& d) { return d.readAd12Block(buffer, 1, &elapsed, 0x3BC, 0, 0); }},
        {"unreachable port, autodetection",
         [](DirectPath& d) {
             int16_t port = 0x3BC, addr = 0;
             return d.autodetectDigital(&port, &addr);
         }},
        {"8-bit address 8", [](DirectPath& d) { return d.setModeAd8(1, kBase, 8); }},
        {"8-bit address -1", [&](DirectPath& d) { return d.readAd8(c, kBase, -1); }},
        {"8-bit write address 9", [](DirectPath& d) { return d.writeAd8(1, kBase, 9); }},
        {"mode 4", [](DirectPath& d) { return d.setModeAd8(4, kBase, 0); }},
        {"mode -1", [](DirectPath& d) { return d.setModeAd8(-1, kBase, 0); }},
        {"negative count", [](DirectPath& d) { return d.writeCount(-1, kBase, 0); }},
        {"negative alarm", [](DirectPath& d) { return d.writeAlarm(-999, kBase, 0); }},
        {"autodetection from 8",
         [](DirectPath& d) {
             int16_t port = 0, addr = 8;
             return d.autodetectAd8(&port, &addr);
         }},
        {"autodetection from -1",
         [](DirectPath& d) {
             int16_t port = 0, addr = -1;
             return d.autodetectDigital(&port, &addr);
         }},
        {"counter autodetection from 2",
         [](DirectPath& d) {
             int16_t port = 0, addr = 2;
             return d.autodetectCounter(&port, &addr);
         }},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.name);
        RecordingPort io;
        io.unavailable = {0x3BC};
        auto engine = makeBusMaster(io);
        EXPECT_EQ(k.call(*engine), -1);
        EXPECT_TRUE(io.log.empty());
        // Nothing was calibrated or recorded: the next read calibrates and
        // reads four channels of mode 0.
        io.ticks = {0, 19};
        int16_t out[4];
        EXPECT_EQ(engine->readAd8(out, kBase, 0), 0);
        EXPECT_EQ(countTicks(io.log), 2);
        Expected e(kBase, 1, 0);
        for (uint8_t ch = 0; ch < 4; ++ch) {
            e.start().writeByte(0x90).writeByte(0x40 + ch).stop();
            e.start().writeByte(0x91).readByte(true).readByte(false).stop();
        }
        EXPECT_TRUE(sameAccesses(io.afterLastTick(), e.events));
    }
}

}  // namespace
}  // namespace tavo
