// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/colour_rules.h"

#include <cmath>

#include "common/numbers.h"

namespace {
// Whole division rounding towards minus infinity.
int32_t floorDiv(int32_t a, int32_t b) {
    const int32_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}
}  // namespace

ColourTable DefaultColours() {
    ColourTable t{};
    const std::array<int32_t, 6> colours{
        JoinColour({0, 0, 255}),      // E0 blue
        JoinColour({0, 255, 0}),      // E1 green
        JoinColour({255, 0, 0}),      // E2 red
        JoinColour({0, 255, 255}),    // E3 cyan
        JoinColour({255, 0, 255}),    // SA magenta
        JoinColour({255, 255, 255}),  // plot area white
    };
    for (size_t i = 0; i < colours.size(); ++i) {
        t[i][1] = colours[i];
        t[i][2] = ContrastColour(colours[i]);
    }
    return t;
}

Rgb SplitColour(int32_t colour) {
    const int32_t blue = floorDiv(colour, 65536);
    const int32_t green = floorDiv(colour - 65536 * blue, 256);
    const int32_t red = colour - 65536 * blue - 256 * green;
    return {red, green, blue};
}

int32_t JoinColour(const Rgb& rgb) {
    return rgb.red + 256 * rgb.green + 65536 * rgb.blue;
}

double ColourLuminance(int32_t colour) {
    const Rgb c = SplitColour(colour);
    return 0.3 * c.red + 0.6 * c.green + 0.1 * c.blue;
}

int32_t ContrastColour(int32_t colour) {
    return ColourLuminance(colour) < 128 ? kColourWhite : kColourBlack;
}

int partValue(const Rgb& rgb, ColourPart part) {
    switch (part) {
        case ColourPart::Red:
            return rgb.red;
        case ColourPart::Green:
            return rgb.green;
        case ColourPart::Blue:
            return rgb.blue;
    }
    return 0;
}

int32_t withPart(int32_t colour, ColourPart part, int value) {
    Rgb c = SplitColour(colour);
    switch (part) {
        case ColourPart::Red:
            c.red = value;
            break;
        case ColourPart::Green:
            c.green = value;
            break;
        case ColourPart::Blue:
            c.blue = value;
            break;
    }
    return JoinColour(c);
}

PartEntry readPartText(const QString& typed) {
    const double v = readNumber(typed);
    if (v > 255) return {255, QStringLiteral("255")};
    if (v < 0) return {0, QStringLiteral("0")};
    // Between 0 and 255 the rounding always fits.
    return {int(Round16(v).value_or(0)), std::nullopt};
}
