// SPDX-License-Identifier: GPL-3.0-or-later
// The converter's analog output: the one place that writes it. The scroll
// bar, the typed value and the generator's playback all come through here.
#pragma once

#include <QObject>
#include <QString>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "core/module_kind.h"

class AcquisitionThread;
class TavoLibrary;
struct VarGlob;

// Engineering units of one output code: a 12-bit code (kinds TypeOne and
// Converter12) is one millivolt, any other 2.5/255 V, both times the scale
// factor.
double outputUnitsPerCode(ModuleKind kind, float scaleFactor);

// An output code in units, "#0.0##": code x scale / 1000 for a 12-bit
// converter (kinds TypeOne and Converter12), code x (scale x 2.5) / 255 for
// any other.
QString CodeToUnitsText(double code, ModuleKind kind, float scaleFactor);

// The code for a value typed in units: the nearest code (halves to even),
// accepted from 0 to maxCode; nothing when it falls outside. Text that is
// not a number reads as 0; a comma reads as the decimal point.
std::optional<int16_t> UnitsToCode(const QString& typed, ModuleKind kind, float scaleFactor,
                                   int maxCode);

class AnalogOutput : public QObject {
    Q_OBJECT
  public:
    // The module is the globals' (ModuleType, PortBase, ModuleAddress,
    // ScaleFactor); the code sent is kept in AnalogOutValue, written only here.
    AnalogOutput(TavoLibrary& library, VarGlob& g, QObject* parent = nullptr);

    // From now on the writes run on the acquisition thread, in order and
    // never inside a read; held receives each code once it is written.
    void sendThrough(std::shared_ptr<AcquisitionThread> thread,
                     std::shared_ptr<std::atomic<int16_t>> held);

    // The code last sent, which every sample records.
    int16_t AnalogOutValue() const;
    // The scroll bar moved (by hand, by a typed value or by the generator):
    // the code is sent to the module, by its type.
    void setCode(int16_t code);
    // A code written on the acquisition thread by the generator: kept and
    // shown as if set here, without writing it again.
    void showWritten(int16_t code);
    // What writes a code to the present module on the acquisition thread.
    std::function<void(int16_t)> deviceWriter() const;
    // Start-up of an 8-bit module: its output to 0.
    void resetEightBit();
    // The present code in units.
    QString text() const;

  signals:
    void changed(int16_t code, const QString& text);

  private:
    void send(int16_t code);

    TavoLibrary& library_;
    VarGlob& g_;
    std::shared_ptr<AcquisitionThread> thread_;
    std::shared_ptr<std::atomic<int16_t>> held_;
};
