// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/grid.h"

#include <cmath>

#include "common/numbers.h"
#include "display/drawing_surface.h"
#include "display/graduations.h"

namespace {

// One line per tenth of the range, from the bottom border up; the top border
// is never drawn. A range so narrow next to its limits that a tenth of it
// does not move the single-precision sum (1000000 to 1000000.3) would
// otherwise never reach the bound.
constexpr int kHorizontalLines = 10;

}  // namespace

std::vector<GridLine> timeGridLines(float lower, float upper, float traceScaleWidth) {
    std::vector<GridLine> lines;
    const float step = (upper - lower) / 10.0f;
    if (std::isfinite(step) && step != 0.0f && std::isfinite(lower)) {
        // The bound is computed once; the sum runs in single precision.
        const float bound = upper - step;
        float v = lower;
        for (int n = 0; n < kHorizontalLines && (step > 0 ? v <= bound : v >= bound); ++n) {
            lines.push_back({0.0f, v, traceScaleWidth, v});
            v += step;
        }
    }
    if (const auto s = timeTickSpacing(traceScaleWidth)) {
        for (int i = 1; i <= 9; ++i) {
            const int32_t x = int32_t{*s} * i;
            if (x < INT16_MIN || x > INT16_MAX) break;
            lines.push_back({static_cast<float>(x), lower, static_cast<float>(x), upper});
        }
    }
    return lines;
}

std::vector<GridLine> xyGridLines(float lower, float upper) {
    std::vector<GridLine> lines;
    const float step = (upper - lower) / 10.0f;
    for (int i = 1; i <= 9; ++i) {
        const float v = static_cast<float>(i) * step + lower;
        lines.push_back({v, lower, v, upper});
        lines.push_back({lower, v, upper, v});
    }
    return lines;
}

void DrawGrid(DrawingSurface* t, const PlotScale& scale, int32_t colour) {
    if (!t) return;
    t->setDotted(true);
    t->setAutoRedraw(true);
    const std::vector<GridLine> lines =
        scale.xyMode ? xyGridLines(scale.lower, scale.upper)
                     : timeGridLines(scale.lower, scale.upper, t->scaleWidth());
    for (const GridLine& l : lines) t->line(l.x1, l.y1, l.x2, l.y2, colour);
    t->setDotted(false);
}
