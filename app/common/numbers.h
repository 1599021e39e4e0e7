// SPDX-License-Identifier: GPL-3.0-or-later
// Reading numbers the user typed, rounding into the program's integer widths
// and the display patterns used across the windows.
#pragma once

#include <QString>

#include <cstdint>
#include <optional>

// The leading decimal number of a text the user typed: blanks before it are
// skipped, an optional sign, digits with "." or "," as the decimal point
// (whatever the locale: the program shows numbers in the locale's form and
// people type either), an optional exponent. Text that does not start with a
// number reads as 0. A number too large for a double reads as an infinity of
// its sign. Files are never read with it: they keep ".".
double readNumber(const QString& text);

// Nearest integer, a value exactly halfway going to the even neighbour.
// std::nullopt when the result does not fit (NaN and infinities included).
std::optional<int16_t> Round16(double value);
std::optional<int32_t> Round32(double value);

// "##0.00": at least one integer digit, two decimals (live values).
QString formatValue(double value);
// "#0.0##": one to three decimals (output values in units).
QString formatOutput(double value);
// "##0.0#": one or two decimals (axis labels, cursor readout).
QString FormatAxisValue(double value);

// Shortest text of a single with at most 7 significant digits: "12", ".5",
// "-.25", "0"; exponent form ("2.9997E+08", "1E-05") for magnitudes from
// 10 000 000 up and below 0.0001. Point as separator, no leading blank.
QString plainNumber(float value);
