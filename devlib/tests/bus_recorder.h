// SPDX-License-Identifier: LGPL-2.1-or-later
// Test doubles for the bus engine: a PortIo that logs every access and
// answers from a script, and a builder of expected access sequences written
// from the bus contract (register values, doubled writes, delay reads).
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <deque>
#include <set>
#include <string>
#include <vector>

#include "port/port_io.h"

namespace tavo::bustest {

struct PortEvent {
    enum Kind : uint8_t { Write, Read, Tick };
    Kind kind;
    uint16_t reg;
    uint8_t value;  // written value; reads are compared by register only

    bool operator==(const PortEvent& o) const {
        return kind == o.kind && (kind == Tick || reg == o.reg) &&
               (kind != Write || value == o.value);
    }
};

inline std::string describe(const PortEvent& e) {
    char text[32];
    if (e.kind == PortEvent::Tick) return "tick";
    std::snprintf(text, sizeof text, "%s %03X %02X", e.kind == PortEvent::Write ? "W" : "R",
                  static_cast<unsigned>(e.reg), static_cast<unsigned>(e.value));
    return text;
}

class RecordingPort final : public PortIo {
  public:
    void write(uint16_t reg, uint8_t value) override {
        log.push_back({PortEvent::Write, reg, value});
        // Only the acknowledge clock of a written byte raises the clock after
        // an odd run of 0xDC writes (bit clocks come after pairs): count
        // those to answer per written byte.
        if ((reg & 3) == 2) {
            if (value == 0xD4 && dcRun >= 3 && dcRun % 2 == 1) ++ackClocks;
            dcRun = value == 0xDC ? dcRun + 1 : 0;
        }
    }
    uint8_t read(uint16_t reg) override {
        uint8_t v = statusDefault;
        if ((reg & 3) == 1) {
            if (!statusScript.empty()) {
                v = statusScript.front();
                statusScript.pop_front();
            } else if (nackAt.count(ackClocks) || nackAll) {
                v = 0xFF;
            }
        }
        log.push_back({PortEvent::Read, reg, v});
        return v;
    }
    uint32_t tickMs() override {
        log.push_back({PortEvent::Tick, 0, 0});
        if (!ticks.empty()) {
            const uint32_t t = ticks.front();
            ticks.pop_front();
            return t;
        }
        // Otherwise a virtual clock: one microsecond per access.
        return static_cast<uint32_t>(log.size() / 1000);
    }
    bool available(uint16_t base) override { return !unavailable.count(base); }

    // Events after the last clock reading: the operation after any calibration.
    std::vector<PortEvent> afterLastTick() const {
        size_t i = log.size();
        while (i > 0 && log[i - 1].kind != PortEvent::Tick) --i;
        return {log.begin() + static_cast<long>(i), log.end()};
    }

    std::vector<PortEvent> log;
    std::deque<uint8_t> statusScript;  // status reads consume these first
    std::deque<uint32_t> ticks;        // scripted clock readings
    std::set<int> nackAt;              // 1-based written bytes left unacknowledged
    bool nackAll = false;
    uint8_t statusDefault = 0x00;  // data line low: every byte acknowledged
    std::set<uint16_t> unavailable;
    int ackClocks = 0;

  private:
    int dcRun = 0;
};

// Expected sequences on one base with given delay counts.
class Expected {
  public:
    Expected(uint16_t base, int16_t delayLong, int16_t delayShort)
        : base_(base), long_(delayLong), short_(delayShort), last_(base + 2) {}

    std::vector<PortEvent> events;

    Expected& control(uint8_t v) { return push(PortEvent::Write, base_ + 2, v); }
    Expected& data(uint8_t v) { return push(PortEvent::Write, base_, v); }
    Expected& status() { return push(PortEvent::Read, base_ + 1, 0); }
    Expected& delay(int n) {
        for (int i = 0; i < n; ++i) events.push_back({PortEvent::Read, last_, 0});
        return *this;
    }
    Expected& delayLong() { return delay(long_); }
    Expected& delayShort() { return delay(short_); }
    Expected& lines(uint8_t v) { return control(v).control(v).delayLong(); }

    Expected& start() { return lines(0xD4).lines(0xD6).lines(0xDE); }
    Expected& stop() { return lines(0xDE).lines(0xD6).lines(0xD4); }
    Expected& writeByte(uint8_t b) {
        for (int bit = 7; bit >= 0; --bit) {
            if ((b >> bit) & 1) {
                lines(0xDC).lines(0xD4).lines(0xD4).lines(0xDC);
            } else {
                lines(0xD6).lines(0xDE);
            }
        }
        control(0xDC).control(0xDC).control(0xDC).delayLong();
        lines(0xD4).status().status().delayLong();
        return lines(0xDC).lines(0xDE);
    }
    Expected& readByte(bool ack) {
        for (int bit = 0; bit < 8; ++bit) lines(0xDC).lines(0xD4).status().status().lines(0xDC);
        if (ack) return lines(0xDE).lines(0xD6).lines(0xDE);
        return lines(0xDC).lines(0xD4).lines(0xDC).lines(0xDE);
    }

    // 12-bit scheme.
    Expected& converterTransfer(uint8_t select, uint16_t command) {
        control(0xDE).control(0xDE).delayLong();
        data(select).data(select).data(select).delayShort();
        for (int bit = 15; bit >= 4; --bit) {
            if ((command >> bit) & 1) control(0xD6).delayShort().control(0xD4).delayShort();
            control(0xDC).delayShort().status().delayShort().control(0xDE).delayShort();
        }
        return *this;
    }
    Expected& endSelect() { return data(0xDF).data(0xDF).data(0xDF); }
    Expected& outputTransfer(uint8_t select, uint16_t value) {
        control(0xDE).data(select);
        for (int bit = 11; bit >= 0; --bit) {
            if ((value >> bit) & 1) control(0xD6).delayShort().control(0xD4).delayShort();
            control(0xDC).control(0xDE).delayShort();
        }
        return endSelect();
    }

  private:
    Expected& push(PortEvent::Kind kind, int reg, uint8_t v) {
        events.push_back({kind, static_cast<uint16_t>(reg), v});
        last_ = static_cast<uint16_t>(reg);
        return *this;
    }

    uint16_t base_;
    int16_t long_;
    int16_t short_;
    uint16_t last_;
};

// Compares two access sequences and names the first difference.
inline ::testing::AssertionResult sameAccesses(const std::vector<PortEvent>& actual,
                                               const std::vector<PortEvent>& expected) {
    const size_t n = std::min(actual.size(), expected.size());
    for (size_t i = 0; i < n; ++i) {
        if (!(actual[i] == expected[i])) {
            return ::testing::AssertionFailure()
                   << "access " << i << ": got " << describe(actual[i]) << ", expected "
                   << describe(expected[i]);
        }
    }
    if (actual.size() != expected.size()) {
        return ::testing::AssertionFailure()
               << actual.size() << " accesses, expected " << expected.size();
    }
    return ::testing::AssertionSuccess();
}

}  // namespace tavo::bustest
