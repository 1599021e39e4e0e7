// SPDX-License-Identifier: GPL-3.0-or-later
#include "acquisition/analog_output.h"

#include <cmath>

#include "common/numbers.h"
#include "core/module_kind.h"
#include "core/tavo_library.h"
#include "core/var_glob.h"

namespace {
bool twelveBitOutput(ModuleKind kind) {
    return kind == ModuleKind::TypeOne || kind == ModuleKind::Converter12;
}
}  // namespace

double outputUnitsPerCode(ModuleKind kind, float scaleFactor) {
    const double scale = static_cast<double>(scaleFactor);
    if (twelveBitOutput(kind)) return scale / 1000.0;
    return scale * 2.5 / 255.0;
}

QString CodeToUnitsText(double code, ModuleKind kind, float scaleFactor) {
    // Code times scale, then the division, each step in the width the
    // values have: a single for the 12-bit converter, a double for the other
    // (its 2.5 is one), so the third decimal rounds as those products do
    // (12-bit, scale 0.5, code 9: 0.0045 as a single lies just below, 0.004).
    if (twelveBitOutput(kind)) {
        return formatOutput(static_cast<float>(code) * scaleFactor / 1000.0f);
    }
    return formatOutput(code * (static_cast<double>(scaleFactor) * 2.5) / 255.0);
}

std::optional<int16_t> UnitsToCode(const QString& typed, ModuleKind kind, float scaleFactor,
                                   int maxCode) {
    // The box shows the locale's separator, so a comma is a decimal point
    // here too, in any locale.
    const double value = readNumber(QString(typed).replace(u',', u'.'));
    // Zero is code 0 whatever the scale, a zero scale included.
    if (value == 0.0) return int16_t{0};
    const double code = std::rint(value / outputUnitsPerCode(kind, scaleFactor));
    if (!std::isfinite(code) || code < 0.0 || code > static_cast<double>(maxCode)) {
        return std::nullopt;
    }
    return Round16(code);
}

AnalogOutput::AnalogOutput(TavoLibrary& library, VarGlob& g, QObject* parent)
    : QObject(parent), library_(library), g_(g) {}

int16_t AnalogOutput::AnalogOutValue() const {
    return g_.AnalogOutValue;
}

void AnalogOutput::setCode(int16_t code) {
    g_.AnalogOutValue = code;
    // Only the two converters have an output; a failed write is not acted on.
    const ModuleKind kind = moduleKindOf(g_.ModuleType);
    if (kind == ModuleKind::Converter8) {
        library_.Escribir_Ad8b32(code, g_.PortBase, g_.ModuleAddress);
    } else if (kind == ModuleKind::Converter12) {
        library_.Escribir_Ad12r32(code, g_.PortBase, g_.ModuleAddress);
    }
    emit changed(code, text());
}

void AnalogOutput::resetEightBit() {
    if (moduleKindOf(g_.ModuleType) != ModuleKind::Converter8) return;
    g_.AnalogOutValue = 0;
    library_.Escribir_Ad8b32(0, g_.PortBase, g_.ModuleAddress);
}

QString AnalogOutput::text() const {
    return CodeToUnitsText(g_.AnalogOutValue, moduleKindOf(g_.ModuleType), g_.ScaleFactor);
}
