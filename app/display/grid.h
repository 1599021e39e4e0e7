// The dotted grid of a trace area: line positions as plain numbers, and the
// operation that draws the grid (trace_plotter.cpp).
#pragma once

#include <cstdint>
#include <vector>

class AppContext;
class QWidget;

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

// Draws the grid in the given colour on the trace area of the plot window,
// or of another window with a PIC_TRAZADO surface (the graphic editor).
// Drawing it in the background colour erases it.
void DrawGrid(AppContext& ctx, int32_t colour);
void DrawGrid(AppContext& ctx, int32_t colour, QWidget* window);
