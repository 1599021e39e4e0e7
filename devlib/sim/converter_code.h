// SPDX-License-Identifier: LGPL-2.1-or-later
// The code a converter of `steps` steps gives for a level: floor(volts /
// full scale x steps), saturated to lowest..highest as a real converter
// saturates. The tiny bias keeps an exact loop-back (output code -> volts
// -> input code) from losing one. NaN reads 0; the clamp happens on the
// double, so no level, however absurd, reaches the integer conversion.
#pragma once

#include <cmath>

namespace tavo::sim {

inline int converterCode(double volts, double fullScale, int steps, int lowest, int highest) {
    const double code = std::floor(volts * steps / fullScale + 1e-9);
    if (std::isnan(code)) return 0;
    if (code <= lowest) return lowest;
    if (code >= highest) return highest;
    return static_cast<int>(code);
}

}  // namespace tavo::sim
