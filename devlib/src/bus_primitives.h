// SPDX-License-Identifier: LGPL-2.1-or-later
// Two-wire bus primitives, bit-banged on the control register of the port
// currently set. Control bit 1 drives the data line and bit 3 the clock;
// the port inverts both, so a 1 in the register pulls its line low.
#pragma once

#include <cstdint>

#include "bus_port.h"
#include "control_lines.h"

namespace tavo {

// Status register bit 3 reads the data line back (1 = high).
inline constexpr uint8_t kBusDataBit = 0x08;

// Data falls while the clock is high. Leaves both lines low.
void busStart(BusPort& bus);

// Data rises while the clock is high. Leaves both lines released.
void busStop(BusPort& bus);

// Sends byte most significant bit first and clocks the acknowledge.
// Expects the clock low. True when the receiver pulled data low (acknowledged).
bool busWriteByte(BusPort& bus, uint8_t byte);

// Clocks in a byte, most significant bit first. ack: pull data low on the
// ninth clock to ask for another byte; otherwise leave it high (last byte).
uint8_t busReadByte(BusPort& bus, bool ack);

// Grows the long delay from 1 until 120 byte reads take at least 19 ms by
// the port's clock; the short delay is half of it. Sets calibrated.
void calibrateBusDelay(BusPort& bus);

}  // namespace tavo
