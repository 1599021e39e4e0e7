#include "bus_primitives.h"

#include <limits>

namespace tavo {
namespace {

constexpr int kCalibrationBytes = 120;
constexpr uint32_t kCalibrationMs = 19;

}  // namespace

void busStart(BusPort& bus) {
    bus.setLines(kDataHighClockHigh);
    bus.setLines(kDataLowClockHigh);
    bus.setLines(kDataLowClockLow);
}

void busStop(BusPort& bus) {
    bus.setLines(kDataLowClockLow);
    bus.setLines(kDataLowClockHigh);
    bus.setLines(kDataHighClockHigh);
}

bool busWriteByte(BusPort& bus, uint8_t byte) {
    for (int bit = 7; bit >= 0; --bit) {
        if ((byte >> bit) & 1) {
            // Release data with the clock low, then a clock pulse.
            bus.setLines(kDataHighClockLow);
            bus.setLines(kDataHighClockHigh);
            bus.setLines(kDataHighClockHigh);
            bus.setLines(kDataHighClockLow);
        } else {
            // Data low and clock high in one write: the data line falls
            // first, so this is a bit, not a start condition.
            bus.setLines(kDataLowClockHigh);
            bus.setLines(kDataLowClockLow);
        }
    }
    // Acknowledge clock: data released, the receiver pulls it low.
    bus.writeControl(kDataHighClockLow);
    bus.writeControl(kDataHighClockLow);
    bus.writeControl(kDataHighClockLow);
    bus.delay(bus.delayLong);
    bus.setLines(kDataHighClockHigh);
    bus.readStatus();
    const bool nack = (bus.readStatus() & kBusDataBit) != 0;
    bus.delay(bus.delayLong);
    bus.setLines(kDataHighClockLow);
    bus.setLines(kDataLowClockLow);
    return !nack;
}

uint8_t busReadByte(BusPort& bus, bool ack) {
    unsigned value = 0;
    for (int bit = 0; bit < 8; ++bit) {
        bus.setLines(kDataHighClockLow);
        bus.setLines(kDataHighClockHigh);
        // The first reading lets the line settle; the second one counts.
        bus.readStatus();
        value = (value << 1) | ((bus.readStatus() & kBusDataBit) ? 1u : 0u);
        bus.setLines(kDataHighClockLow);
    }
    if (ack) {
        bus.setLines(kDataLowClockLow);
        bus.setLines(kDataLowClockHigh);
        bus.setLines(kDataLowClockLow);
    } else {
        bus.setLines(kDataHighClockLow);
        bus.setLines(kDataHighClockHigh);
        bus.setLines(kDataHighClockLow);
        bus.setLines(kDataLowClockLow);
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
