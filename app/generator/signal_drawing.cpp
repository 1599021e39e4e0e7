// SPDX-License-Identifier: GPL-3.0-or-later
#include "generator/signal_drawing.h"

#include <cmath>

#include "core/var_glob.h"

namespace {

constexpr int kLastEntry = 300;

// A whole number as the labels show it: a blank where a minus sign would go.
QString signedWhole(float value) {
    double r = std::rint(static_cast<double>(value));
    if (!std::isfinite(r)) return QStringLiteral(" 0");
    if (r == 0.0) r = 0.0;  // no "-0"
    const QString digits = QString::number(r, 'f', 0);
    return r < 0.0 ? digits : QStringLiteral(" ") + digits;
}

}  // namespace

void SignalDrawing::reset() {
    started_ = false;
    lastX_ = 0;
    lastY_ = 0.0f;
    amplitude_ = 0.0f;
    offset_ = 0.0f;
    periodMs_ = 0;
    g_.WaveLength = 0;
    g_.DrawnSignal.fill(0.0f);
}

SignalDrawing::Press SignalDrawing::press(float x, float y) {
    Press result;
    double column = std::floor(static_cast<double>(x));
    // The area ends at 301, so no point lies past the table's last entry.
    if (!(column <= kLastEntry)) column = kLastEntry;
    if (!std::isfinite(y)) return result;

    if (!started_) {
        // The first point starts the table whatever column was clicked.
        started_ = true;
        result.firstPoint = true;
        result.pointX = 1.0f;
        result.pointY = y;
        lastX_ = 1;
        lastY_ = y;
        // One unit above the click.
        g_.DrawnSignal[1] = y + 1.0f;
        min_ = max_ = y;
    } else if (column <= lastX_) {
        result.refused = true;
    } else {
        const int to = static_cast<int>(column);
        const float slope = static_cast<float>((static_cast<double>(y) - lastY_) / (to - lastX_));
        for (int i = lastX_ + 1; i <= to; ++i) {
            g_.DrawnSignal[i] = static_cast<float>(
                static_cast<double>(static_cast<float>(i - lastX_)) * slope + lastY_);
            result.segments.push_back({static_cast<float>(i - 1), g_.DrawnSignal[i - 1],
                                       static_cast<float>(i), g_.DrawnSignal[i]});
        }
        lastX_ = static_cast<int16_t>(to);
        lastY_ = y;
        if (y < min_) {
            min_ = y;
        } else if (y > max_) {
            max_ = y;
        }
    }
    periodMs_ = lastX_ * g_.WaveStepMs;
    offset_ = static_cast<float>((static_cast<double>(max_) + min_) / 2.0);
    amplitude_ = static_cast<float>(static_cast<double>(max_) - min_);
    return result;
}

SignalDrawing::Move SignalDrawing::move(float x, float y) const {
    Move result;
    const double column = std::floor(static_cast<double>(x));
    const double value = std::floor(static_cast<double>(y));
    result.canDraw = column > lastX_;
    result.timeText = QString::number(static_cast<double>(g_.WaveStepMs) * column, 'f', 0);
    result.valueText = QString::number(value, 'f', 0);
    return result;
}

QString SignalDrawing::periodText() const {
    return QString::number(periodMs_);
}

QString SignalDrawing::offsetText() const {
    return signedWhole(offset_);
}

QString SignalDrawing::amplitudeText() const {
    return signedWhole(amplitude_);
}
