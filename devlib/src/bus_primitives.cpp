// SPDX-License-Identifier: LGPL-2.1-or-later
#include "bus_primitives.h"

#include <limits>

namespace tavo {
namespace {

constexpr int kCalibrationBytes = 120;
constexpr uint32_t kCalibrationMs = 19;

}  // namespace

void busStart(BusPort& bus) {
    bus.setLines(busLines(kHigh, kHigh));
    bus.setLines(busLines(kLow, kHigh));
    bus.setLines(busLines(kLow, kLow));
}

void busStop(BusPort& bus) {
    bus.setLines(busLines(kLow, kLow));
    bus.setLines(busLines(kLow, kHigh));
    bus.setLines(busLines(kHigh, kHigh));
}

bool busWriteByte(BusPort& bus, uint8_t byte) {
    for (int bit = 7; bit >= 0; --bit) {
        if ((byte >> bit) & 1) {
            // Release data with the clock low, then a clock pulse.
            bus.setLines(busLines(kHigh, kLow));
            bus.setLines(busLines(kHigh, kHigh));
            bus.setLines(busLines(kHigh, kHigh));
            bus.setLines(busLines(kHigh, kLow));
        } else {
            // Data low and clock high in one write: the data line falls
            // first, so this is a bit, not a start condition.
            bus.setLines(busLines(kLow, kHigh));
            bus.setLines(busLines(kLow, kLow));
        }
    }
    // Acknowledge clock: data released, the receiver pulls it low.
    bus.writeControl(busLines(kHigh, kLow));
    bus.writeControl(busLines(kHigh, kLow));
    bus.writeControl(busLines(kHigh, kLow));
    bus.delay(bus.delayLong);
    bus.setLines(busLines(kHigh, kHigh));
    bus.readStatus();
    const bool nack = (bus.readStatus() & kBusDataBit) != 0;
    bus.delay(bus.delayLong);
    bus.setLines(busLines(kHigh, kLow));
    bus.setLines(busLines(kLow, kLow));
    return !nack;
}

uint8_t busReadByte(BusPort& bus, bool ack) {
    unsigned value = 0;
    for (int bit = 0; bit < 8; ++bit) {
        bus.setLines(busLines(kHigh, kLow));
        bus.setLines(busLines(kHigh, kHigh));
        // The first reading lets the line settle; the second one counts.
        bus.readStatus();
        value = (value << 1) | ((bus.readStatus() & kBusDataBit) ? 1u : 0u);
        bus.setLines(busLines(kHigh, kLow));
    }
    if (ack) {
        bus.setLines(busLines(kLow, kLow));
        bus.setLines(busLines(kLow, kHigh));
        bus.setLines(busLines(kLow, kLow));
    } else {
        bus.setLines(busLines(kHigh, kLow));
        bus.setLines(busLines(kHigh, kHigh));
        bus.setLines(busLines(kHigh, kLow));
        bus.setLines(busLines(kLow, kLow));
    }
    return static_cast<uint8_t>(value);
}

void calibrateBusDelay(BusPort& bus) {
    bus.delayLong = 1;
    bus.delayShort = 1;
    bus.calibrated = false;
    for (;;) {
        const uint32_t start = bus.io().tickMs();
        for (int i = 0; i < kCalibrationBytes; ++i) busReadByte(bus, true);
        // Unsigned difference: a tick counter that wraps still gives the span.
        const uint32_t elapsed = bus.io().tickMs() - start;
        if (elapsed >= kCalibrationMs) break;
        // A clock that never reaches 19 ms must not wrap the count negative.
        if (bus.delayLong == std::numeric_limits<int16_t>::max()) break;
        ++bus.delayLong;
    }
    bus.delayShort = static_cast<int16_t>(bus.delayLong / 2);
    bus.calibrated = true;
}

}  // namespace tavo
