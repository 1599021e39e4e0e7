// SPDX-License-Identifier: GPL-3.0-or-later
// What the plot window's cursor readout shows for a point of the trace area.
#pragma once

#include <QString>

#include <cstdint>
#include <optional>

struct CursorReadout {
    // std::nullopt: the X readout keeps what it shows.
    std::optional<QString> x;
    QString y;
};

// The left button pressed at (x, y) in the trace area's units: in time mode
// x is a sample index and the readout shows its time in seconds, in XY mode
// the value itself; y is always a value.
CursorReadout cursorOnPress(float x, float y, bool xyMode, int16_t periodMs);

// The pointer moved with the left button held: in time mode the sample index
// under the pointer (the largest whole number not above x) as plain number
// text; in XY mode the X readout keeps the value of the press.
CursorReadout cursorOnDrag(float x, float y, bool xyMode);
