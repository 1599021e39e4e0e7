// SPDX-License-Identifier: GPL-3.0-or-later
#include "acquisition/analog_output.h"

#include <cmath>

#include "common/numbers.h"
#include "core/acquisition_thread.h"
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
    const double value = readNumber(typed);
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

void AnalogOutput::sendThrough(std::shared_ptr<AcquisitionThread> thread,
                               std::shared_ptr<std::atomic<int16_t>> held) {
    thread_ = std::move(thread);
    held_ = std::move(held);
}

std::function<void(int16_t)> AnalogOutput::deviceWriter() const {
    // The module as it is now: the thread never reads the globals.
    const int16_t type = g_.ModuleType, port = g_.PortBase, address = g_.ModuleAddress;
    TavoLibrary* library = &library_;
    return [library, type, port, address, held = held_](int16_t code) {
        // Only the two converters have an output; a failed write is not acted on.
        if (moduleKindOf(type) == ModuleKind::Converter8) {
            library->Escribir_Ad8b32(code, port, address);
        } else if (moduleKindOf(type) == ModuleKind::Converter12) {
            library->Escribir_Ad12r32(code, port, address);
        }
        if (held) held->store(code);
    };
}

void AnalogOutput::send(int16_t code) {
    std::function<void(int16_t)> write = deviceWriter();
    if (!thread_) {
        write(code);
        return;
    }
    // Bound here, so a missing library or export is told on the window
    // thread; the write itself runs on the acquisition thread.
    if (moduleKindOf(g_.ModuleType) == ModuleKind::Converter8) {
        library_.prepare("Escribir_Ad8b32");
    } else if (moduleKindOf(g_.ModuleType) == ModuleKind::Converter12) {
        library_.prepare("Escribir_Ad12r32");
    }
    thread_->post([write = std::move(write), code] { write(code); });
}

void AnalogOutput::showWritten(int16_t code) {
    g_.AnalogOutValue = code;
    emit changed(code, text());
}

void AnalogOutput::setCode(int16_t code) {
    g_.AnalogOutValue = code;
    send(code);
    emit changed(code, text());
}

void AnalogOutput::resetEightBit() {
    if (moduleKindOf(g_.ModuleType) != ModuleKind::Converter8) return;
    g_.AnalogOutValue = 0;
    send(0);
}

QString AnalogOutput::text() const {
    return CodeToUnitsText(g_.AnalogOutValue, moduleKindOf(g_.ModuleType), g_.ScaleFactor);
}
