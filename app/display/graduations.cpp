// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/graduations.h"

#include <cmath>

#include "common/numbers.h"
#include "display/drawing_surface.h"

namespace {

// i * step + lower, each step in single precision like the stored limits.
float division(int i, float step, float lower) {
    const float scaled = static_cast<float>(i) * step;
    return scaled + lower;
}

void printAll(DrawingSurface* s, const std::vector<PlacedText>& labels) {
    for (const PlacedText& l : labels) {
        s->currentX = l.x;
        s->currentY = l.y;
        s->print(l.text);
    }
}

}  // namespace

std::vector<PlacedText> valueAxisLabels(float lower, float upper, const QString& units,
                                        float rightEdge, float halfTextHeight,
                                        const TextWidthFn& width) {
    std::vector<PlacedText> labels;
    const float step = (upper - lower) / 10.0f;
    for (int i = 0; i <= 9; ++i) {
        const float v = division(i, step, lower);
        const QString text = FormatAxisValue(v);
        const float lift = i == 0 ? 2.0f * halfTextHeight : halfTextHeight;
        labels.push_back({rightEdge - width(text), v + lift, text});
    }
    const float top = division(10, step, lower);
    labels.push_back({rightEdge - width(units), top, units});
    return labels;
}

std::optional<int16_t> timeTickSpacing(float traceScaleWidth) {
    return Round16(static_cast<double>(traceScaleWidth) / 10.0);
}

std::vector<PlacedText> timeAxisLabels(float traceScaleWidth, int16_t periodMs, float y,
                                       const TextWidthFn& width) {
    std::vector<PlacedText> labels;
    const auto s = timeTickSpacing(traceScaleWidth);
    if (!s) return labels;
    for (int i = 0; i <= 10; ++i) {
        // Tick positions are 16-bit; past that there is nothing to label.
        const int32_t x32 = int32_t{*s} * i;
        if (x32 < INT16_MIN || x32 > INT16_MAX) break;
        const auto x = static_cast<float>(x32);
        if (i == 10) {
            const QString unit = QStringLiteral(" seg.");
            labels.push_back({x - width(unit), y, unit});
            break;
        }
        const float t = static_cast<float>(periodMs) * x / 1000.0f;
        const QString text = plainNumber(t);
        const float half = width(text) / 2.0f;
        labels.push_back({x32 == 0 ? half : x - half, y, text});
    }
    return labels;
}

std::vector<PlacedText> xyAxisLabels(float lower, float upper, const QString& units, float y,
                                     const TextWidthFn& width) {
    std::vector<PlacedText> labels;
    const float step = (upper - lower) / 10.0f;
    for (int i = 1; i <= 9; i += 2) {
        const float v = division(i, step, lower);
        const QString text = FormatAxisValue(v);
        labels.push_back({v - width(text) / 2.0f, y, text});
    }
    labels.push_back({upper - width(units), y, units});
    return labels;
}

void DrawGraduations(const PlotSurfaces& surfaces, const PlotScale& scale) {
    DrawingSurface* t = surfaces.trace;
    DrawingSurface* x = surfaces.xStrip;
    DrawingSurface* y = surfaces.yStrip;
    if (!t || !x || !y) return;
    const float traceWidth = t->scaleWidth();

    // The X strip takes the trace area's whole size; its container cuts off
    // what lies below.
    x->resize(t->width(), x->height());
    x->cls();
    x->resize(x->width(), t->height());
    y->cls();

    y->setScale(t->scaleLeft(), t->scaleTop(), t->scaleLeft() + t->scaleWidth(),
                t->scaleTop() + t->scaleHeight());
    x->setScaleLeft(t->scaleLeft());
    x->setScaleWidth(t->scaleWidth());

    const float hh = std::abs(y->textHeight(QStringLiteral("H"))) / 2.0f;
    const auto yWidth = [y](const QString& s) { return y->textWidth(s); };
    const auto xWidth = [x](const QString& s) { return x->textWidth(s); };
    printAll(y, valueAxisLabels(scale.lower, scale.upper, scale.units,
                                y->scaleLeft() + y->scaleWidth(), hh, yWidth));

    if (!scale.xyMode) {
        // The X strip's vertical unit stays the twip.
        printAll(x, timeAxisLabels(traceWidth, scale.periodMs, x->scaleTop() + 10.0f, xWidth));
    } else {
        printAll(x, xyAxisLabels(scale.lower, scale.upper, scale.units, x->scaleTop(), xWidth));
    }
}
