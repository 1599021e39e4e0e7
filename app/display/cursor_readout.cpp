// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/cursor_readout.h"

#include <cmath>

#include "common/numbers.h"

CursorReadout cursorOnPress(float x, float y, bool xyMode, int16_t periodMs) {
    if (xyMode) return {FormatAxisValue(x), FormatAxisValue(y)};
    const float seconds = static_cast<float>(periodMs) * x / 1000.0f;
    return {FormatAxisValue(seconds), FormatAxisValue(y)};
}

CursorReadout cursorOnDrag(float x, float y, bool xyMode) {
    if (xyMode) return {std::nullopt, FormatAxisValue(y)};
    return {plainNumber(std::floor(x)), FormatAxisValue(y)};
}
