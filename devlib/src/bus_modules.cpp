// SPDX-License-Identifier: LGPL-2.1-or-later
#include "bus_modules.h"

#include <initializer_list>

#include "bus_primitives.h"

namespace tavo {
namespace {

constexpr int16_t kFail = -1;

uint8_t ad8ControlByte(int16_t mode, int channel) {
    // Bit 6 keeps the analog output enabled; mode in bits 5-4, channel in 1-0.
    return static_cast<uint8_t>(0x40 + 16 * mode + channel);
}

int ad8ChannelCount(int16_t mode) {
    return mode == 3 ? 2 : (mode == 0 ? 4 : 3);
}

// Selecting a channel reports nothing: a module that does not answer shows
// up at the read that follows.
void ad8SelectChannel(BusPort& bus, Ad8Tables& tables, int channel, int16_t addr) {
    busStart(bus);
    if (!busWriteByte(bus, writeAddressByte(kAd8Family, addr))) return;
    const uint8_t c = ad8ControlByte(tables.mode[addr], channel);
    tables.control[addr] = c;
    if (busWriteByte(bus, c)) busStop(bus);
}

// Reads the counter's control register and writes back f(r).
template <typename F>
int16_t counterUpdateControl(BusPort& bus, int16_t addr, F f) {
    const uint8_t writeAddr = writeAddressByte(kCounterFamily, addr);
    busStart(bus);
    if (!busWriteByte(bus, writeAddr)) return kFail;
    busWriteByte(bus, kCounterControl);
    busStart(bus);
    if (!busWriteByte(bus, readAddressByte(kCounterFamily, addr))) return kFail;
    const uint8_t r = busReadByte(bus, true);
    busReadByte(bus, false);
    busStop(bus);
    busStart(bus);
    if (!busWriteByte(bus, writeAddr)) return kFail;
    busWriteByte(bus, kCounterControl);
    busWriteByte(bus, static_cast<uint8_t>(f(r)));
    busStop(bus);
    return 0;
}

// Alarm control: bits 5-4 = 01, an event alarm; bit 7 set as the modules
// have always been sent it.
constexpr uint8_t kEventAlarmSetting = 0x90;

uint8_t bcdPair(int32_t twoDigits) {
    return static_cast<uint8_t>((twoDigits / 10) << 4 | (twoDigits % 10));
}

}  // namespace

int16_t probeBase(BusPort& bus, BusFamily family, int16_t* addr) {
    int16_t a = *addr;
    int wraps = 0;
    while (wraps < 2) {
        calibrateBusDelay(bus);
        busStart(bus);
        if (busWriteByte(bus, writeAddressByte(family, a))) {
            busStop(bus);
            *addr = a;
            return 0;
        }
        ++a;
        busStop(bus);
        if (a == family.addressCount) {
            a = 0;
            ++wraps;
        }
    }
    return kFail;
}

int16_t digitalWrite(BusPort& bus, int16_t addr, uint8_t value) {
    busStart(bus);
    if (!busWriteByte(bus, writeAddressByte(kDigitalFamily, addr))) return kFail;
    if (!busWriteByte(bus, value)) return kFail;
    busStop(bus);
    return 0;
}

int16_t digitalRead(BusPort& bus, int16_t addr) {
    busStart(bus);
    if (!busWriteByte(bus, readAddressByte(kDigitalFamily, addr))) return kFail;
    const uint8_t b1 = busReadByte(bus, true);
    const uint8_t b2 = busReadByte(bus, false);
    busStop(bus);
    return b1 == b2 ? b1 : kFail;
}

int16_t ad8SetMode(BusPort& bus, Ad8Tables& tables, int16_t mode, int16_t addr) {
    tables.mode[addr] = mode;
    busStart(bus);
    if (!busWriteByte(bus, writeAddressByte(kAd8Family, addr))) return kFail;
    const uint8_t c = ad8ControlByte(mode, 0);
    tables.control[addr] = c;
    if (!busWriteByte(bus, c)) return kFail;
    busStop(bus);
    return 0;
}

int16_t ad8Read(BusPort& bus, Ad8Tables& tables, int16_t* c, int16_t addr) {
    for (int k = 0; k < 4; ++k) c[k] = 0;
    const int channels = ad8ChannelCount(tables.mode[addr]);
    for (int k = 0; k < channels; ++k) {
        ad8SelectChannel(bus, tables, k, addr);
        busStart(bus);
        if (!busWriteByte(bus, readAddressByte(kAd8Family, addr))) return kFail;
        // The first byte is the conversion before the channel change.
        busReadByte(bus, true);
        c[k] = busReadByte(bus, false);
        busStop(bus);
    }
    return 0;
}

int16_t ad8Write(BusPort& bus, const Ad8Tables& tables, uint8_t value, int16_t addr) {
    busStart(bus);
    if (!busWriteByte(bus, writeAddressByte(kAd8Family, addr))) return kFail;
    if (!busWriteByte(bus, tables.control[addr])) return kFail;
    if (!busWriteByte(bus, value)) return kFail;
    busStop(bus);
    return 0;
}

int16_t counterStop(BusPort& bus, int16_t addr) {
    // Stop and hold set, event-counter mode.
    return counterUpdateControl(bus, addr, [](uint8_t r) { return r | 0xE0; });
}

int16_t counterStart(BusPort& bus, int16_t addr) {
    // Stop, hold and bit 4 cleared, bit 5 set: event-counter mode, counting.
    return counterUpdateControl(bus, addr, [](uint8_t r) { return (r | 0x20) & 0x2F; });
}

int16_t counterAlarmSetup(BusPort& bus, int16_t addr) {
    // Bits 4-0 cleared, the alarm enable bit 2 among them.
    if (counterUpdateControl(bus, addr, [](uint8_t r) { return r & 0xE0; }) != 0) return kFail;
    busStart(bus);
    if (!busWriteByte(bus, writeAddressByte(kCounterFamily, addr))) return kFail;
    busWriteByte(bus, kCounterAlarmControl);
    busWriteByte(bus, kEventAlarmSetting);
    busStop(bus);
    return 0;
}

int16_t counterWriteBcd(BusPort& bus, int16_t addr, CounterRegister first, int32_t count) {
    if (counterStop(bus, addr) != 0) return kFail;
    busStart(bus);
    if (!busWriteByte(bus, writeAddressByte(kCounterFamily, addr))) return kFail;
    // Only the six lowest decimal digits fit the module.
    busWriteByte(bus, first);
    busWriteByte(bus, bcdPair(count % 100));
    busWriteByte(bus, bcdPair(count / 100 % 100));
    busWriteByte(bus, bcdPair(count / 10000 % 100));
    busStop(bus);
    return 0;
}

int32_t counterReadBcd(BusPort& bus, int16_t addr, CounterRegister first) {
    busStart(bus);
    if (!busWriteByte(bus, writeAddressByte(kCounterFamily, addr))) return kFail;
    if (!busWriteByte(bus, first)) return kFail;
    busStart(bus);
    if (!busWriteByte(bus, readAddressByte(kCounterFamily, addr))) return kFail;
    const uint8_t b1 = busReadByte(bus, true);
    const uint8_t b2 = busReadByte(bus, true);
    const uint8_t b3 = busReadByte(bus, false);
    busStop(bus);
    // Nibbles above 9 are taken at face value, as the module holds them.
    int32_t value = 0;
    for (uint8_t b : {b3, b2, b1}) value = (value * 10 + (b >> 4)) * 10 + (b & 0x0F);
    return value;
}

int16_t counterReadRegister(BusPort& bus, int16_t addr, uint8_t reg) {
    busStart(bus);
    if (!busWriteByte(bus, writeAddressByte(kCounterFamily, addr))) return kFail;
    busWriteByte(bus, reg);
    busStart(bus);
    if (!busWriteByte(bus, readAddressByte(kCounterFamily, addr))) return kFail;
    const uint8_t b = busReadByte(bus, true);
    busReadByte(bus, false);
    busStop(bus);
    return b;
}

}  // namespace tavo
