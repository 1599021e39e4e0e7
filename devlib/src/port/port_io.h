// SPDX-License-Identifier: LGPL-2.1-or-later
// The bus algorithm's only view of the hardware: register writes and reads
// at absolute I/O addresses (base + 0 data, + 1 status, + 2 control) and a
// millisecond clock. Real ports, the simulated bench and test recorders
// all sit behind it.
#pragma once

#include <array>
#include <cstdint>

namespace tavo {

// The three printer-port bases the modules can sit on (378H, 278H, 3BCH).
inline constexpr std::array<uint16_t, 3> kPrinterPortBases{0x378, 0x278, 0x3BC};

constexpr bool isPrinterPortBase(long base) {
    for (uint16_t b : kPrinterPortBases)
        if (base == b) return true;
    return false;
}

class PortIo {
  public:
    virtual ~PortIo() = default;
    virtual void write(uint16_t reg, uint8_t value) = 0;
    virtual uint8_t read(uint16_t reg) = 0;
    // Millisecond tick count; wraps like any 32-bit tick counter.
    virtual uint32_t tickMs() = 0;
    // False when the port at this base cannot be reached (a parport device
    // that could not be opened or claimed); every call for it then fails.
    virtual bool available(uint16_t base) {
        (void)base;
        return true;
    }
};

}  // namespace tavo
