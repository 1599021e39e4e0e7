// SPDX-License-Identifier: GPL-3.0-or-later
// Colours are kept as 32-bit values red + 256 * green + 65536 * blue.
#pragma once

#include <QColor>

#include <cstdint>

class QLabel;

// Only the low three bytes count; anything above them is ignored.
QColor toQColor(int32_t vb);
int32_t fromQColor(const QColor& colour);

// A label's back and text colours, kept in its palette so that what is set
// is what a configuration file saves back.
void setLabelColours(QLabel* label, int32_t back, int32_t fore);
int32_t labelBackColour(const QLabel* label);
int32_t labelForeColour(const QLabel* label);
