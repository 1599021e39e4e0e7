// SPDX-License-Identifier: GPL-3.0-or-later
// The module types the program tells apart by ModuleType's value.
#pragma once

#include <cstdint>

enum class ModuleKind : int16_t {
    Converter8 = 0,
    // A value no option writes but a file may carry: the analog output, the
    // generator preview and the dialog count it as a 12-bit module, the
    // sampling reads it as one, and nothing writes its output.
    TypeOne = 1,
    Converter12 = 2,
    // An 8-bit converter with half the input range (1.25 V full scale).
    Converter8HalfRange = 5,
    // Any other value a file stored: read as a 12-bit module, never written.
    Other = -1,
};

// The kind of a ModuleType value as stored (a file may store any): the one
// place that turns the stored number into a kind.
constexpr ModuleKind moduleKindOf(int16_t moduleType) {
    switch (moduleType) {
        case 0:
            return ModuleKind::Converter8;
        case 1:
            return ModuleKind::TypeOne;
        case 2:
            return ModuleKind::Converter12;
        case 5:
            return ModuleKind::Converter8HalfRange;
        default:
            return ModuleKind::Other;
    }
}
