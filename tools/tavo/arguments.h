// SPDX-License-Identifier: GPL-3.0-or-later
// Reading the tool's arguments: printer ports, whole numbers in a range.
// Plain functions, so the refusals are tested without running anything.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tavo::cli {

// The three printer-port bases, in the order detection goes through them.
inline constexpr int kPortBases[] = {0x378, 0x278, 0x3BC};

// A printer-port base as the program writes it ("378H", "278h", "3BCH") or
// as a number (888, 0x378). Nothing when it is not one of the three bases.
std::optional<int> parsePort(std::string_view text);
// "378H", "278H" or "3BCH".
std::string portName(int base);

// A whole number, decimal or 0x hexadecimal, with an optional sign.
// Nothing for anything else, or a value outside int64.
std::optional<int64_t> parseWhole(std::string_view text);

// The refusal of text as a whole number from low to high, or empty when it is one.
std::string checkWhole(std::string_view text, int64_t low, int64_t high);

}  // namespace tavo::cli
