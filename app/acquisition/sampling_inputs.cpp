// SPDX-License-Identifier: GPL-3.0-or-later
#include "acquisition/sampling_inputs.h"

#include "common/numbers.h"

std::optional<int16_t> typedSetting(const QString& text, SettingRange range) {
    // A value beyond 16 bits is out of range like any other.
    const std::optional<int16_t> v = Round16(readNumber(text));
    if (!v || *v < range.low || *v > range.high) return std::nullopt;
    return v;
}

std::optional<QString> textOnLeaving(const QString& text, SettingRange range, int16_t inEffect) {
    if (typedSetting(text, range)) return std::nullopt;
    return QString::number(inEffect);
}
