// SPDX-License-Identifier: LGPL-2.1-or-later
// The two control-register lines that both the two-wire bus and the 12-bit
// scheme drive: control bit 1 (Autofeed) and bit 3 (Select In). The port
// inverts both, so a 1 in the register pulls its line low. Each value the
// engine writes to the control register comes from this one table, named
// by the levels it puts on those lines; bits 2, 4, 6 and 7 are always 1,
// bits 0 and 5 always 0.
#pragma once

#include <cstdint>

namespace tavo {

enum Level : uint8_t { kLow = 0, kHigh = 1 };

// [Autofeed level][Select In level]
inline constexpr uint8_t kControlLines[2][2] = {
    {0xDE, 0xD6},  // Autofeed low:  Select In low, high
    {0xDC, 0xD4},  // Autofeed high: Select In low, high
};

// Two-wire bus: data on Autofeed, clock on Select In.
constexpr uint8_t busLines(Level data, Level clock) {
    return kControlLines[data][clock];
}

// 12-bit scheme: clock on Autofeed, data to the module on Select In.
constexpr uint8_t converterLines(Level clock, Level data) {
    return kControlLines[clock][data];
}

}  // namespace tavo
