// The converter's analog output: the one place that writes it. The scroll
// bar, the typed value and the generator's playback all come through here.
#pragma once

#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

class TavoLibrary;

// Engineering units of one output code: a 12-bit code (types 1 and 2) is one
// millivolt, any other 2.5/255 V, both times the scale factor.
double outputUnitsPerCode(int16_t moduleType, float scaleFactor);

// An output code in units, "#0.0##".
QString CodeToUnitsText(double code, int16_t moduleType, float scaleFactor);

// The code for a value typed in units: the nearest code (halves to even),
// accepted from 0 to maxCode; nothing when it falls outside. Text that is
// not a number reads as 0.
std::optional<int16_t> UnitsToCode(const QString& typed, int16_t moduleType, float scaleFactor,
                                   int maxCode);

// The module the output belongs to.
struct OutputModule {
    int16_t ModuleType = 0;
    int16_t PortBase = 888;
    int16_t ModuleAddress = 0;
    float ScaleFactor = 1.0f;
};

class AnalogOutput : public QObject {
    Q_OBJECT
  public:
    using ModuleSource = std::function<OutputModule()>;

    AnalogOutput(TavoLibrary& library, ModuleSource module, QObject* parent = nullptr);

    // The code last sent, which every sample records.
    int16_t AnalogOutValue() const { return value_; }
    // The scroll bar moved (by hand, by a typed value or by the generator):
    // the code is sent to the module, by its type.
    void setCode(int16_t code);
    // Start-up of an 8-bit module: its output to 0.
    void resetEightBit();
    // The present code in units.
    QString text() const;

  signals:
    void changed(int16_t code, const QString& text);

  private:
    TavoLibrary& library_;
    ModuleSource module_;
    int16_t value_ = 0;
};
