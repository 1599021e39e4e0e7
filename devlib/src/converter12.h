// SPDX-License-Identifier: LGPL-2.1-or-later
// The 12-bit converter scheme: a three-wire serial link on the same port,
// the clock on control bit 1 and data to the module on control bit 3 (the
// table of control_lines.h, read the other way round from the two-wire
// bus), data from the module on status
// bit 4, and per-position select lines on the data register, active low.
#pragma once

#include <cstdint>

#include "bus_port.h"

namespace tavo {

// Data register value with every select line released.
inline constexpr uint8_t kSelectNone = 0xDF;

class Converter12 {
  public:
    // Positions 0..2 pick their pair of select values; any other position
    // keeps the pair of the previous call (both 0 before the first call).
    void choosePosition(int16_t pos);

    // Sends the upper 12 bits of command and returns the 12-bit result of
    // the previous conversion. Leaves the converter selected.
    uint16_t converterTransfer(BusPort& bus, uint16_t command);

    // Loads the low 12 bits of value into the analog output, then deselects.
    void outputTransfer(BusPort& bus, uint16_t value);

    void endSelect(BusPort& bus);

    // Inputs 0..3 (upper false) or 4..7 (upper true) into in[0..3].
    void readBlock(BusPort& bus, bool upper, int16_t* in);

  private:
    uint8_t converterSelect_ = 0;
    uint8_t outputSelect_ = 0;
};

}  // namespace tavo
