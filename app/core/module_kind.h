// SPDX-License-Identifier: GPL-3.0-or-later
// The module types the program tells apart by ModuleType's value.
#pragma once

#include <cstdint>

enum class ModuleKind : int16_t {
    Converter8 = 0,
    Converter12 = 2,
    // An 8-bit converter with half the input range (1.25 V full scale).
    Converter8HalfRange = 5,
};

// Whether a ModuleType value, as stored (a file may store any), is the kind's.
constexpr bool isModuleKind(int16_t moduleType, ModuleKind kind) {
    return moduleType == static_cast<int16_t>(kind);
}
