// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/plot_limits.h"

#include <QLocale>

#include <cmath>
#include <limits>

#include "common/numbers.h"

namespace {

QString localeSeparator() {
    return QLocale().decimalPoint();
}

// A limit as it will be stored; std::nullopt when no single holds it.
std::optional<float> single(double value) {
    if (!(std::fabs(value) <= std::numeric_limits<float>::max())) return std::nullopt;
    return static_cast<float>(value);
}

}  // namespace

QString limitBoxText(float value) {
    QString text = plainNumber(value);
    const QString sep = localeSeparator();
    if (sep != QStringLiteral(".")) text.replace(u'.', sep);
    return value < 0.0f ? text : QStringLiteral(" ") + text;
}

std::optional<PlotRange> readPlotLimits(const QString& upperText, const QString& lowerText) {
    const auto upper = single(readNumber(upperText));
    const auto lower = single(readNumber(lowerText));
    if (!upper || !lower) return std::nullopt;
    // Compared as stored: 1000000 and 1000000.01 are one single.
    if (!(*upper > *lower)) return std::nullopt;
    if (!std::isfinite(*upper - *lower)) return std::nullopt;
    return PlotRange{*lower, *upper};
}
