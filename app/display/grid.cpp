#include "display/grid.h"

#include <cmath>

#include "common/numbers.h"
#include "display/drawing_surface.h"
#include "display/graduations.h"

namespace {

// A normal range gives eleven lines at most; this only stops a range so
// narrow that adding a tenth no longer moves the sum.
constexpr int kMaxHorizontalLines = 64;

}  // namespace

std::vector<GridLine> timeGridLines(float lower, float upper, float traceScaleWidth) {
    std::vector<GridLine> lines;
    const float step = (upper - lower) / 10.0f;
    if (std::isfinite(step) && step != 0.0f && std::isfinite(lower)) {
        // The bound is computed once; the sum runs in single precision.
        const float bound = upper - step;
        float v = lower;
        for (int n = 0; n < kMaxHorizontalLines && (step > 0 ? v <= bound : v >= bound); ++n) {
            lines.push_back({0.0f, v, traceScaleWidth, v});
            const float next = v + step;
            if (next == v) break;
            v = next;
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
