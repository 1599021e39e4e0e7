// SPDX-License-Identifier: GPL-3.0-or-later
// Axis graduations of a plot: where each label goes and what it says, as
// plain numbers, and the operation that draws them into a plot's strips.
#pragma once

#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "display/plot_scale.h"

// A text to print with its top-left corner at (x, y), in the strip's units.
struct PlacedText {
    float x;
    float y;
    QString text;
};

// Width of a text in the units of the strip it is measured on.
using TextWidthFn = std::function<float(const QString&)>;

// Value strip: labels for lower + i * step (i = 0..9), right-aligned at
// rightEdge and centred on their value (the lowest one lifted so its bottom
// rests on the value), then the unit name with its top at the upper limit.
// halfTextHeight is half the height of a text line, as a positive number.
std::vector<PlacedText> valueAxisLabels(float lower, float upper, const QString& units,
                                        float rightEdge, float halfTextHeight,
                                        const TextWidthFn& width);

// Samples between two time ticks for a trace area of the given scale width;
// std::nullopt when it does not fit a 16-bit count.
std::optional<int16_t> timeTickSpacing(float traceScaleWidth);

// Time strip: seconds at every tick from x = 0, centred on the tick (the
// first one starts half its width right of the edge), then " seg."
// right-aligned at the tenth tick. All on the line y.
std::vector<PlacedText> timeAxisLabels(float traceScaleWidth, int16_t periodMs, float y,
                                       const TextWidthFn& width);

// X strip in XY mode: values at the odd divisions, centred, then the unit
// name right-aligned at the upper limit. All on the line y.
std::vector<PlacedText> xyAxisLabels(float lower, float upper, const QString& units, float y,
                                     const TextWidthFn& width);

// Clears and redraws both graduation strips beside a trace area whose scale
// is set: values up, and time or (in XY mode) values across. Nothing happens
// when a surface is missing.
void DrawGraduations(const PlotSurfaces& surfaces, const PlotScale& scale);
