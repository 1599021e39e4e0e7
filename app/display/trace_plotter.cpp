// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/trace_plotter.h"

#include "display/drawing_surface.h"
#include "display/grid.h"

TracePlotter::TracePlotter(DrawingSurface* trace, QObject* parent)
    : QObject(parent), trace_(trace) {}

void TracePlotter::segment(float x1, float y1, float x2, float y2, int32_t colour) {
    trace_->line(x1, y1, x2, y2, colour);
}

void TracePlotter::clear(const PlotScale& scale, bool gridShown) {
    trace_->cls();
    if (gridShown) DrawGrid(trace_, scale, scale.foreColour);
    emit cleared();
}
