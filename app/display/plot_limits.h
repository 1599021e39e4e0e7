// SPDX-License-Identifier: GPL-3.0-or-later
// The configure panel's value limits: how its two boxes show them and how
// "Aplicar" reads them back.
#pragma once

#include <QString>

#include <optional>

struct PlotRange {
    float lower;
    float upper;
};

// A limit as its box shows it: plain number text with the locale's decimal
// separator and a leading blank unless the value is negative (" 2.5", " .5",
// "-1" with a point).
QString limitBoxText(float value);

// The limits typed in the two boxes (read with readNumber, so a box the
// program filled reads back as it was shown), as they will be stored (single
// precision). std::nullopt when the upper one does not lie above the lower
// one once stored, or when the range between them is not a finite single:
// the graduations and the grid step through a tenth of it.
std::optional<PlotRange> readPlotLimits(const QString& upperText, const QString& lowerText);
