// SPDX-License-Identifier: GPL-3.0-or-later
#include "acquisition/sample_units.h"

float inputFactor12(float scaleFactor) {
    return static_cast<float>(static_cast<double>(scaleFactor) * 4.095 / 4095.0);
}

float inputFactor8(float scaleFactor, ModuleKind kind) {
    const double full = kind == ModuleKind::Converter8HalfRange ? 1.25 : 2.5;
    return static_cast<float>(static_cast<double>(scaleFactor) * full / 255.0);
}

float outputRowUnits(float scaleFactor, int16_t code, ModuleKind kind) {
    const float divisor = isEightBit(kind) ? 100.0f : 1000.0f;
    return scaleFactor * static_cast<float>(code) / divisor;
}
