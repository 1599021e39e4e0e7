// Colours are kept as 32-bit values red + 256 * green + 65536 * blue.
#pragma once

#include <QColor>

#include <cstdint>

// Only the low three bytes count; anything above them is ignored.
QColor toQColor(int32_t vb);
int32_t fromQColor(const QColor& colour);
