// SPDX-License-Identifier: LGPL-2.1-or-later
// 8-bit quasi-bidirectional I/O expander (digital module, bus address 0x20 + a).
// A written byte latches the outputs; a pin whose latch is 1 is only weakly
// pulled up, so outside circuits can pull it low: a read returns the pins,
// latch AND external inputs, sampled as each byte starts going out.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>

#include "bus_chip.h"

namespace tavo::sim {

class IoExpander final : public BusChip {
  public:
    // Back doors.
    // What the outside world does to the pins; 0xFF = nothing pulls any pin low.
    void setInputs(uint8_t inputs);
    // Successive samples take these values in turn, then keep the last one:
    // {0x12, 0x34} makes the two bytes of one read differ. At most 8 values.
    void setInputSequence(std::initializer_list<uint8_t> values);
    uint8_t outputs() const { return latch_; }
    uint8_t pins() const { return latch_ & inputs_[next_]; }

    void begin(bool) override {}
    bool receive(uint8_t byte) override;
    uint8_t transmit() override;

  private:
    uint8_t latch_ = 0xFF;  // power-on: all pins high, usable as inputs
    std::array<uint8_t, 8> inputs_{0xFF};
    size_t count_ = 1;
    size_t next_ = 0;
};

}  // namespace tavo::sim
