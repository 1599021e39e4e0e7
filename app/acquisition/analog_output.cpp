#include "acquisition/analog_output.h"

#include <cmath>

#include "common/numbers.h"
#include "core/tavo_library.h"

double outputUnitsPerCode(int16_t moduleType, float scaleFactor) {
    const double scale = static_cast<double>(scaleFactor);
    if (moduleType == 1 || moduleType == 2) return scale / 1000.0;
    return scale * 2.5 / 255.0;
}

QString CodeToUnitsText(double code, int16_t moduleType, float scaleFactor) {
    return formatOutput(code * outputUnitsPerCode(moduleType, scaleFactor));
}

std::optional<int16_t> UnitsToCode(const QString& typed, int16_t moduleType, float scaleFactor,
                                   int maxCode) {
    const double value = readNumber(typed);
    // Zero is code 0 whatever the scale, a zero scale included.
    if (value == 0.0) return int16_t{0};
    const double code = std::rint(value / outputUnitsPerCode(moduleType, scaleFactor));
    if (!std::isfinite(code) || code < 0.0 || code > static_cast<double>(maxCode)) {
        return std::nullopt;
    }
    return Round16(code);
}

AnalogOutput::AnalogOutput(TavoLibrary& library, ModuleSource module, QObject* parent)
    : QObject(parent), library_(library), module_(std::move(module)) {}

void AnalogOutput::setCode(int16_t code) {
    value_ = code;
    const OutputModule m = module_();
    // Only the two converters have an output; a failed write is not acted on.
    if (m.ModuleType == 0) {
        library_.Escribir_Ad8b32(value_, m.PortBase, m.ModuleAddress);
    } else if (m.ModuleType == 2) {
        library_.Escribir_Ad12r32(value_, m.PortBase, m.ModuleAddress);
    }
    emit changed(value_, CodeToUnitsText(value_, m.ModuleType, m.ScaleFactor));
}

void AnalogOutput::resetEightBit() {
    const OutputModule m = module_();
    if (m.ModuleType != 0) return;
    value_ = 0;
    library_.Escribir_Ad8b32(0, m.PortBase, m.ModuleAddress);
}

QString AnalogOutput::text() const {
    const OutputModule m = module_();
    return CodeToUnitsText(value_, m.ModuleType, m.ScaleFactor);
}
