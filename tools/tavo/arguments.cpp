// SPDX-License-Identifier: GPL-3.0-or-later
#include "arguments.h"

#include <cctype>
#include <charconv>

namespace tavo::cli {

namespace {
bool isBase(int64_t value) {
    for (int b : kPortBases)
        if (value == b) return true;
    return false;
}
}  // namespace

std::optional<int64_t> parseWhole(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    int radix = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        radix = 16;
        text.remove_prefix(2);
    }
    // from_chars takes no sign of its own here: "--5" and "0x-5" stay refused.
    if (text.empty() || !std::isxdigit(static_cast<unsigned char>(text[0]))) return std::nullopt;
    uint64_t magnitude = 0;
    const auto [end, ec] =
        std::from_chars(text.data(), text.data() + text.size(), magnitude, radix);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    if (magnitude > (negative ? uint64_t{1} << 63 : (uint64_t{1} << 63) - 1)) return std::nullopt;
    return negative ? static_cast<int64_t>(0 - magnitude) : static_cast<int64_t>(magnitude);
}

std::optional<int> parsePort(std::string_view text) {
    // The program's form: hexadecimal digits and a final H.
    if (text.size() > 1 && (text.back() == 'H' || text.back() == 'h')) {
        const std::string_view digits = text.substr(0, text.size() - 1);
        unsigned value = 0;
        const auto [end, ec] =
            std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
        if (ec == std::errc() && end == digits.data() + digits.size() && isBase(value))
            return static_cast<int>(value);
        return std::nullopt;
    }
    const std::optional<int64_t> value = parseWhole(text);
    if (value && isBase(*value)) return static_cast<int>(*value);
    return std::nullopt;
}

std::string portName(int base) {
    switch (base) {
        case 0x378:
            return "378H";
        case 0x278:
            return "278H";
        case 0x3BC:
            return "3BCH";
        default:
            return std::to_string(base);
    }
}

std::string checkWhole(std::string_view text, int64_t low, int64_t high) {
    const std::optional<int64_t> value = parseWhole(text);
    const std::string range = std::to_string(low) + " to " + std::to_string(high);
    if (!value) return "'" + std::string(text) + "' is not a whole number (" + range + ")";
    if (*value < low || *value > high)
        return "'" + std::string(text) + "' is out of range (" + range + ")";
    return {};
}

}  // namespace tavo::cli
