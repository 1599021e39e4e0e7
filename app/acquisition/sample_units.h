// SPDX-License-Identifier: GPL-3.0-or-later
// From the converters' codes to engineering units, with the single-precision
// steps the recorded values depend on.
#pragma once

#include <cstdint>

#include "core/module_kind.h"

// Units per code of an input: a 12-bit code is one millivolt, an 8-bit code
// 2.5/255 V (1.25/255 V for the half-range one), both times the scale factor.
float inputFactor12(float scaleFactor);
float inputFactor8(float scaleFactor, ModuleKind kind);

// The analog output row in units as the value labels and the plot show it:
// the code over 100 for an 8-bit module (types 0 and 5), over 1000 otherwise.
float outputRowUnits(float scaleFactor, int16_t code, ModuleKind kind);

inline bool isEightBit(ModuleKind kind) {
    return kind == ModuleKind::Converter8 || kind == ModuleKind::Converter8HalfRange;
}
