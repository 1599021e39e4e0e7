// SPDX-License-Identifier: GPL-3.0-or-later
// Draws the recorded trace on a trace area: one segment per sample and row,
// and clearing the area ("Limpiar"). It keeps no sweep count: the sampling
// engine restarts its sweep when the window that owns the area says so.
#pragma once

#include <QObject>

#include <cstdint>

#include "display/plot_scale.h"

class DrawingSurface;

class TracePlotter : public QObject {
    Q_OBJECT
  public:
    explicit TracePlotter(DrawingSurface* trace, QObject* parent = nullptr);

    // One segment in user units, in the given colour, kept when the area
    // repaints.
    void segment(float x1, float y1, float x2, float y2, int32_t colour);

    // Clears the area and redraws the grid, in the scale's fore colour, when
    // it is shown.
    void clear(const PlotScale& scale, bool gridShown);

  signals:
    void cleared();

  private:
    DrawingSurface* trace_;
};
