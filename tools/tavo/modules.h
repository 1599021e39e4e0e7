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
// Volts of a channel's code, as the program scales them: 2.5 V full scale
// over 256 codes (8-bit), 5 V over 4096 (12-bit). Differential 8-bit channels
// come as two's complement bytes.
double ad8Volts(int16_t code, int mode, int channel);
double ad12Volts(int16_t code);

// A number with the given decimals and "." whatever the locale.
std::string fixed(double value, int decimals);

}  // namespace tavo::cli
