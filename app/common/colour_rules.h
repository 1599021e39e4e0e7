// SPDX-License-Identifier: GPL-3.0-or-later
// The colour table and the rules the colour dialog follows, without any
// widget. Colours are 32-bit values red + 256 * green + 65536 * blue.
#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <optional>

// Colores(i, j): rows 0 to 5 (inputs E0 to E3, the analog output, the plot
// area), column 1 the item's colour, column 2 its contrast (for the plot
// area, the grid colour). Column 0 is unused.
using ColourTable = std::array<std::array<int32_t, 3>, 6>;

constexpr int32_t kColourWhite = 0xFFFFFF;
constexpr int32_t kColourBlack = 0;

// Blue, green, red, cyan and magenta for E0 to E3 and the output, each with
// the contrast its luminance asks for; the plot area white with a black grid.
ColourTable DefaultColours();

struct Rgb {
    int red = 0;
    int green = 0;
    int blue = 0;
    bool operator==(const Rgb&) const = default;
};

// Parts by whole division: blue = c / 65536, green = (c - 65536 blue) / 256,
// red the rest. Each part is 0 to 255 for a colour of 0 to FFFFFF hex.
Rgb SplitColour(int32_t colour);
int32_t JoinColour(const Rgb& rgb);

// 0.3 red + 0.6 green + 0.1 blue.
double ColourLuminance(int32_t colour);
// White on a dark colour (luminance below 128), black on a light one.
int32_t ContrastColour(int32_t colour);

// One of the three parts of a colour, as the dialog's bars and boxes edit it.
enum class ColourPart { Red = 0, Green = 1, Blue = 2 };
int partValue(const Rgb& rgb, ColourPart part);
// The colour with one part replaced.
int32_t withPart(int32_t colour, ColourPart part, int value);

// What Enter in a part's text box gives: the leading number of the text (0
// when there is none), held to 0 to 255. text is set when the box must show
// "255" or "0" instead of what was typed.
struct PartEntry {
    int value = 0;
    std::optional<QString> text;
};
PartEntry readPartText(const QString& typed);
