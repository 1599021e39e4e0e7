// SPDX-License-Identifier: GPL-3.0-or-later
#include "modules.h"

#include <charconv>

#include "arguments.h"

namespace tavo::cli {

std::string failureWords(int result, const Target& target) {
    if (result == -2) return "driver not installed";
    if (result == -1)
        return "no module answered at " + portName(target.port) +
               (target.isPosition ? " position " : " address ") + std::to_string(target.addr);
    return "the library answered " + std::to_string(result);
}

int ad8ChannelCount(int mode) {
    return mode == 0 ? 4 : mode == 3 ? 2 : 3;
}

double ad8Volts(int16_t code, int mode, int channel, double vref) {
    // Mode 1: three inputs against AIN3; mode 2: the third channel is a
    // pair; mode 3: both channels are pairs.
    const bool differential = mode == 1 || mode == 3 || (mode == 2 && channel == 2);
    const int value = differential ? static_cast<int8_t>(code & 0xFF) : (code & 0xFF);
    return value * (vref > 0 ? vref : kAd8DefaultVref) / 256.0;
}

double ad12Volts(int16_t code, double vref) {
    return code * (vref > 0 ? vref : kAd12DefaultVref) / 4096.0;
}

int busAddress(BusFamily family, int addr) {
    switch (family) {
        case BusFamily::Digital:
            return 0x20 + addr;
        case BusFamily::Ad8:
            return 0x48 + addr;
        case BusFamily::Counter:
            return 0x50 + addr;
    }
    return addr;
}

std::string fixed(double value, int decimals) {
    char text[64];
    const auto [end, ec] =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    return ec == std::errc() ? std::string(text, end) : std::string("nan");
}

}  // namespace tavo::cli
