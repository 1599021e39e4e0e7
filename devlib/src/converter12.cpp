// SPDX-License-Identifier: LGPL-2.1-or-later
#include "converter12.h"

#include "bus_primitives.h"
#include "control_lines.h"

namespace tavo {
namespace {

// Status bit 4 (the Select input) carries the module's data out.
constexpr uint8_t kConverterDataBit = 0x10;

struct SelectPair {
    uint8_t converter;
    uint8_t output;
};
constexpr SelectPair kSelects[3] = {{0xFE, 0xFD}, {0xFB, 0xF7}, {0xEF, 0xDF}};

// A 1 bit: data high with the clock low, then the clock rises on it.
void sendOne(BusPort& bus) {
    bus.writeControl(converterLines(kLow, kHigh));
    bus.delay(bus.delayShort);
    bus.writeControl(converterLines(kHigh, kHigh));
    bus.delay(bus.delayShort);
}

}  // namespace

void Converter12::choosePosition(int16_t pos) {
    if (pos < 0 || pos > 2) return;
    converterSelect_ = kSelects[pos].converter;
    outputSelect_ = kSelects[pos].output;
}

uint16_t Converter12::converterTransfer(BusPort& bus, uint16_t command) {
    bus.writeControl(converterLines(kLow, kLow));
    bus.writeControl(converterLines(kLow, kLow));
    bus.delay(bus.delayLong);
    bus.writeData(converterSelect_);
    bus.writeData(converterSelect_);
    bus.writeData(converterSelect_);
    bus.delay(bus.delayShort);
    unsigned result = 0;
    for (int bit = 15; bit >= 4; --bit) {
        if ((command >> bit) & 1) sendOne(bus);
        bus.writeControl(converterLines(kHigh, kLow));
        bus.delay(bus.delayShort);
        result = (result << 1) | ((bus.readStatus() & kConverterDataBit) ? 1u : 0u);
        bus.delay(bus.delayShort);
        bus.writeControl(converterLines(kLow, kLow));
        bus.delay(bus.delayShort);
    }
    return static_cast<uint16_t>(result);
}

void Converter12::outputTransfer(BusPort& bus, uint16_t value) {
    // The D/A takes a bit on each rising clock. Two-wire traffic can leave the
    // clock high (a stop ends with both lines released), and then the first
    // 0 bit would get no rising edge and the word would shift by one. Pull
    // the clock low before selecting, as a converter transfer does.
    bus.writeControl(converterLines(kLow, kLow));
    bus.writeData(outputSelect_);
    for (int bit = 11; bit >= 0; --bit) {
        if ((value >> bit) & 1) sendOne(bus);
        bus.writeControl(converterLines(kHigh, kLow));
        bus.writeControl(converterLines(kLow, kLow));
        bus.delay(bus.delayShort);
    }
    endSelect(bus);
}

void Converter12::endSelect(BusPort& bus) {
    bus.writeData(kSelectNone);
    bus.writeData(kSelectNone);
    bus.writeData(kSelectNone);
}

void Converter12::readBlock(BusPort& bus, bool upper, int16_t* in) {
    // Each transfer returns the previous conversion: the first result is
    // stale, the command of the fifth only primes the next call's pipeline.
    const uint16_t first = upper ? 4 : 0;
    converterTransfer(bus, static_cast<uint16_t>(first << 12));
    for (uint16_t i = 0; i < 4; ++i) {
        in[i] = static_cast<int16_t>(
            converterTransfer(bus, static_cast<uint16_t>((first + i + 1) << 12)));
    }
    endSelect(bus);
}

}  // namespace tavo
