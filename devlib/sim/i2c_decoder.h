// SPDX-License-Identifier: LGPL-2.1-or-later
// Pin-level decoder of the two-wire bus: turns line edges into start, stop,
// bit and acknowledge events and bytes for the addressed chip, and says what
// level the chips drive on the data line (the line itself is a wired AND of
// that and the master).
#pragma once

#include <array>
#include <cstdint>

#include "bus_chip.h"

namespace tavo::sim {

class I2cDecoder {
  public:
    enum class State : uint8_t {
        Idle,         // no transfer: waiting for a start
        Address,      // shifting in the address byte
        AddressAck,   // addressed chip holds the data line low for the ninth clock
        Receive,      // shifting in a byte from the master
        ReceiveAck,   // chip acknowledges (or not) the byte it received
        Transmit,     // chip shifts a byte out to the master
        TransmitAck,  // ninth clock: the master acknowledges or not
        Ignore,       // not addressed, or the master said no more: wait for start/stop
    };

    struct Counts {
        uint32_t starts = 0;  // repeated starts included
        uint32_t repeatedStarts = 0;
        uint32_t stops = 0;
        uint32_t bytes = 0;  // bytes moved in either direction after an address
    };

    // address7 = the chip's 7-bit address; one chip per address.
    void attach(uint8_t address7, BusChip* chip) { chips_[address7 & 0x7F] = chip; }
    BusChip* chipAt(uint8_t address7) const { return chips_[address7 & 0x7F]; }

    // A data line edge; scl is the clock level at that moment.
    void sdaEdge(bool sda, bool scl);
    // A clock line edge; sda is the data line level at that moment.
    void sclEdge(bool scl, bool sda);

    // Level the chips drive on the data line: false = one of them pulls it low.
    bool sdaOut() const { return sdaOut_; }
    State state() const { return state_; }
    const Counts& counts() const { return counts_; }

  private:
    void start();
    void stop();
    void clockRise(bool sda);
    void clockFall();
    void beginTransmitByte();

    std::array<BusChip*, 128> chips_{};
    BusChip* active_ = nullptr;
    State state_ = State::Idle;
    bool read_ = false;
    bool masterAck_ = false;
    bool sdaOut_ = true;
    uint8_t shift_ = 0;
    uint8_t bits_ = 0;  // clock rises seen in the current byte
    Counts counts_;
};

}  // namespace tavo::sim
