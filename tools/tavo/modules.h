// SPDX-License-Identifier: GPL-3.0-or-later
// What the tool knows of the modules beyond the library's calls: the
// library's results in words, channel counts and the volts of a code.
#pragma once

#include <cstdint>
#include <string>

namespace tavo::cli {

enum class Converter { Ad8, Ad12 };

// Where a call went, for its failure message: a bus address or a 12-bit position.
struct Target {
    int port = 0x378;
    int addr = 0;
    bool isPosition = false;
};

// A library result that is not 0 in words: "no module answered at 378H
// address 3", "driver not installed".
std::string failureWords(int result, const Target& target);

// Channels an 8-bit read provides in each input mode (4, 3, 3, 2).
int ad8ChannelCount(int mode);
// Full scale of each converter unless --vref says otherwise, as the program
// scales them.
inline constexpr double kAd8DefaultVref = 2.5;
inline constexpr double kAd12DefaultVref = 5.0;
// Volts of a channel's code: vref full scale over 256 codes (8-bit) or 4096
// (12-bit); vref 0 takes the converter's default. Differential 8-bit
// channels come as two's complement bytes.
double ad8Volts(int16_t code, int mode, int channel, double vref = 0);
double ad12Volts(int16_t code, double vref = 0);

// The seven-bit address a bus module answers to on the two-wire bus, as the
// standard bus tools show it: 0x20 + addr (digital), 0x48 + addr (8-bit
// converter), 0x50 + addr (counter).
enum class BusFamily { Digital, Ad8, Counter };
int busAddress(BusFamily family, int addr);

// A number with the given decimals and "." whatever the locale.
std::string fixed(double value, int decimals);

}  // namespace tavo::cli
