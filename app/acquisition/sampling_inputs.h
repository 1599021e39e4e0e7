// SPDX-License-Identifier: GPL-3.0-or-later
// Rules of the sampling settings' text boxes: what a typed text does to its
// scroll bar, and what leaving the box puts back.
#pragma once

#include <QString>

#include <cstdint>
#include <optional>

struct SettingRange {
    int16_t low;
    int16_t high;
};

inline constexpr SettingRange kSamplesRange{50, 10000};
inline constexpr SettingRange kPeriodRange{100, 30000};

// While typing: the value for the scroll bar, or nothing while the text is
// out of range (rounded to the nearest whole number, halves to even).
std::optional<int16_t> typedSetting(const QString& text, SettingRange range);

// On leaving the box: the text that replaces one out of range (the value in
// effect for the running or last recording), or nothing to keep the text.
std::optional<QString> textOnLeaving(const QString& text, SettingRange range, int16_t inEffect);
