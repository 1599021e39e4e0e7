// SPDX-License-Identifier: LGPL-2.1-or-later
// What a chip on the two-wire bus sees: transfers and bytes, never line edges.
// The decoder (i2c_decoder.h) does the bit work and calls these.
#pragma once

#include <cstdint>

namespace tavo::sim {

class BusChip {
  public:
    virtual ~BusChip() = default;
    // The chip's address byte arrived after a start; read = the master reads.
    virtual void begin(bool read) = 0;
    // A byte from the master in a write transfer; true acknowledges it.
    virtual bool receive(uint8_t byte) = 0;
    // The next byte for the master, asked for as the chip starts sending it
    // (after its address acknowledge and after each acknowledge by the master).
    virtual uint8_t transmit() = 0;
    // A stop or a repeated start ends the transfer.
    virtual void end() {}
};

}  // namespace tavo::sim
