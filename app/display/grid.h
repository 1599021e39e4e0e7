// SPDX-License-Identifier: GPL-3.0-or-later
// The dotted grid of a trace area: line positions as plain numbers, and the
// operation that draws the grid on a trace area.
#pragma once

#include <cstdint>
#include <vector>

#include "display/plot_scale.h"

struct GridLine {
    float x1, y1, x2, y2;
};

// Time mode: horizontal lines from the lower limit upward, one per tenth of
// the range, accumulated in single precision (so whether the last inner line
// is drawn depends on rounding); then vertical lines at the time ticks.
// Equal, reversed-to-nothing or non-finite limits give no horizontal lines.
std::vector<GridLine> timeGridLines(float lower, float upper, float traceScaleWidth);

// XY mode: nine vertical and nine horizontal lines at the inner tenths.
std::vector<GridLine> xyGridLines(float lower, float upper);

// Draws the grid of the scale's limits and mode in the given colour on a
// trace area whose scale is set; drawing it in the background colour erases
// it. Nothing happens without a trace area.
void DrawGrid(DrawingSurface* trace, const PlotScale& scale, int32_t colour);
