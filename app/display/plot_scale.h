// SPDX-License-Identifier: GPL-3.0-or-later
// What the graduations and the grid of a plot need to know, as plain values,
// so that any window with a trace area and strips can draw them.
#pragma once

#include <QString>

#include <cstdint>

class DrawingSurface;
class SettingsModel;

struct PlotScale {
    float lower = 0.0f;
    float upper = 2.5f;
    QString units;
    // The sampling period the time strip counts seconds by.
    int16_t periodMs = 100;
    // XY mode: values across instead of time.
    bool xyMode = false;
    // The trace area's colours: the grid is drawn in the fore colour.
    int32_t foreColour = 0;
    int32_t backColour = 0xFFFFFF;
};

// The plot window's scale as the globals and the settings model hold it
// ("Modo XY" ticked or greyed counts as XY).
PlotScale plotScale(const SettingsModel& model);

// A trace area and the two graduation strips beside it.
struct PlotSurfaces {
    DrawingSurface* trace = nullptr;
    DrawingSurface* xStrip = nullptr;
    DrawingSurface* yStrip = nullptr;
};
