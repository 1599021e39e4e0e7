// SPDX-License-Identifier: LGPL-2.1-or-later
// Operation sequences of the three two-wire module families. Each expects
// the port's base set and the bus calibrated, takes addresses already
// range-checked, and returns -1 at the first byte the module does not
// acknowledge, without a stop condition (the next start releases both
// lines first).
#pragma once

#include <cstdint>

#include "bus_port.h"

namespace tavo {

// 7-bit bus addresses of the families and how many module addresses each has.
struct BusFamily {
    uint8_t busAddress;
    int16_t addressCount;
};
inline constexpr BusFamily kDigitalFamily{0x20, 8};
inline constexpr BusFamily kAd8Family{0x48, 8};
inline constexpr BusFamily kCounterFamily{0x50, 2};

inline uint8_t writeAddressByte(BusFamily family, int16_t addr) {
    return static_cast<uint8_t>(2 * (family.busAddress + addr));
}
inline uint8_t readAddressByte(BusFamily family, int16_t addr) {
    return static_cast<uint8_t>(writeAddressByte(family, addr) + 1);
}

// Probes from *addr on, wrapping round the family's addresses twice at most,
// recalibrating before every probe. Found: *addr = the address, 0. Else -1.
int16_t probeBase(BusPort& bus, BusFamily family, int16_t* addr);

int16_t digitalWrite(BusPort& bus, int16_t addr, uint8_t value);
// 0..255, or -1 when the module does not answer or its two readings differ.
int16_t digitalRead(BusPort& bus, int16_t addr);

// 8-bit converter: per-address input mode and last control byte sent.
struct Ad8Tables {
    int16_t mode[8] = {0, 0, 0, 0, 0, 0, 0, 0};
    uint8_t control[8] = {0x40, 0x40, 0x40, 0x40, 0x40, 0x40, 0x40, 0x40};
};
int16_t ad8SetMode(BusPort& bus, Ad8Tables& tables, int16_t mode, int16_t addr);
int16_t ad8Read(BusPort& bus, Ad8Tables& tables, int16_t* c, int16_t addr);
int16_t ad8Write(BusPort& bus, const Ad8Tables& tables, uint8_t value, int16_t addr);

// The counter's registers, as its pointer takes them; a count is three
// BCD bytes from its first register on.
enum CounterRegister : uint8_t {
    kCounterControl = 0x00,
    kCounterCount = 0x01,
    kCounterAlarmControl = 0x08,
    kCounterAlarmCount = 0x09,
};

// Counter/alarm modules.
int16_t counterStop(BusPort& bus, int16_t addr);
int16_t counterStart(BusPort& bus, int16_t addr);
int16_t counterAlarmSetup(BusPort& bus, int16_t addr);
// first: kCounterCount or kCounterAlarmCount. count must not be negative.
int16_t counterWriteBcd(BusPort& bus, int16_t addr, CounterRegister first, int32_t count);
int32_t counterReadBcd(BusPort& bus, int16_t addr, CounterRegister first);
int16_t counterReadRegister(BusPort& bus, int16_t addr, uint8_t reg);

}  // namespace tavo
