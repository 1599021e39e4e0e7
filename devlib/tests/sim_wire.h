// SPDX-License-Identifier: LGPL-2.1-or-later
// A test-side bit-banger for the simulated bench, written from the two-wire
// protocol and the 12-bit modules' serial scheme: one line change per port
// access, so each test controls exactly which edges the bench sees.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

#include "sim/bench.h"

namespace simtest {

class Wire {
  public:
    explicit Wire(tavo::sim::Bench& bench, uint16_t base = 0x378) : bench_(bench), base_(base) {}

    // Control register with both lines given (true = released, high). The
    // port inverts bits 1 and 3; bits 2, 4, 6, 7 stay set.
    static uint8_t controlFor(bool scl, bool sda) {
        return static_cast<uint8_t>(0xD4 | (sda ? 0 : 0x02) | (scl ? 0 : 0x08));
    }
    void lines(bool scl, bool sda) {
        scl_ = scl;
        sda_ = sda;
        bench_.write(base_ + 2, controlFor(scl, sda));
    }
    void scl(bool level) { lines(level, sda_); }
    void sda(bool level) { lines(scl_, level); }
    uint8_t status() { return bench_.read(base_ + 1); }
    bool sdaIn() { return status() & 0x08; }
    bool doutIn() { return status() & 0x10; }

    // Two-wire bus.
    void start() {
        lines(true, true);
        sda(false);
        scl(false);
    }
    void stop() {
        sda(false);
        scl(true);
        sda(true);
    }
    // True when the byte was acknowledged.
    bool writeByte(uint8_t byte) {
        for (int bit = 7; bit >= 0; --bit) {
            sda((byte >> bit) & 1);
            scl(true);
            scl(false);
        }
        sda(true);
        scl(true);
        const bool ack = !sdaIn();
        scl(false);
        return ack;
    }
    uint8_t readByte(bool ack) {
        sda(true);
        uint8_t byte = 0;
        for (int bit = 0; bit < 8; ++bit) {
            scl(true);
            byte = static_cast<uint8_t>((byte << 1) | (sdaIn() ? 1 : 0));
            scl(false);
        }
        sda(!ack);
        scl(true);
        scl(false);
        sda(true);
        return byte;
    }
    // Whole transfers: start, address, bytes, stop. False at the first
    // byte not acknowledged (the transfer still ends with a stop).
    bool writeTo(uint8_t address7, std::initializer_list<uint8_t> bytes) {
        start();
        bool ok = writeByte(static_cast<uint8_t>(address7 << 1));
        for (uint8_t b : bytes)
            if (ok) ok = writeByte(b);
        stop();
        return ok;
    }
    std::vector<uint8_t> readFrom(uint8_t address7, int count) {
        std::vector<uint8_t> out;
        start();
        if (writeByte(static_cast<uint8_t>((address7 << 1) | 1)))
            for (int i = 0; i < count; ++i) out.push_back(readByte(i + 1 < count));
        stop();
        return out;
    }

    // 12-bit modules: clock = the line of control bit 1, data in = the line
    // of control bit 3, select lines on the data register.
    void clk(bool level) { lines(scl_, level); }
    void din(bool level) { lines(level, sda_); }
    void selects(uint8_t dataRegister) { bench_.write(base_, dataRegister); }
    // Shifts 12 command bits in (MSB first) and 12 result bits out; the
    // converter stays selected.
    uint16_t transfer(uint8_t converterSelect, uint16_t command12) {
        clk(false);
        selects(converterSelect);
        uint16_t result = 0;
        for (int bit = 11; bit >= 0; --bit) {
            din((command12 >> bit) & 1);
            clk(true);
            result = static_cast<uint16_t>((result << 1) | (doutIn() ? 1 : 0));
            clk(false);
        }
        return result;
    }
    void loadOutput(uint8_t outputSelect, uint16_t value, int bits = 12) {
        clk(false);
        selects(outputSelect);
        for (int bit = bits - 1; bit >= 0; --bit) {
            din((value >> bit) & 1);
            clk(true);
            clk(false);
        }
        selects(0xFF);
    }

  private:
    tavo::sim::Bench& bench_;
    uint16_t base_;
    bool scl_ = true;
    bool sda_ = true;
};

}  // namespace simtest
