// SPDX-License-Identifier: GPL-3.0-or-later
// The waveform definition dialog's nine fields without the dialog: their
// default texts, the largest code a waveform may reach, and the rule each
// field's text must meet, with the message and the corrected value when it
// does not.
#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <optional>

#include "core/module_kind.h"

// The fields in the dialog's order: per frame amplitude, offset, period.
enum class WaveField {
    AmplitudOnda,
    OffsetOnda,
    PeriodoOnda,
    AmplitudEstimulos,
    OffsetEstimulos,
    PeriodoEstimulos,
    AmplitudUsuario,
    OffsetUsuario,
    PeriodoUsuario,
};
constexpr int kWaveFields = 9;

// The three frames of the dialog.
enum class WaveFrame { Periodic, Stimulus, User };
WaveFrame frameOf(WaveField field);
// The field Enter moves to: amplitude, offset, period, amplitude again.
WaveField nextField(WaveField field);

// The largest code a waveform may reach: 250 on the 8-bit converter (type 0),
// 4095 on every other type.
int16_t waveMaxCode(ModuleKind kind);
// The converter's full scale in volts, single precision: 2.5 or 4.095.
float waveFullScale(ModuleKind kind);

// The graphic editor's vertical range in codes: 0 to the largest code the
// generator uses (4095 on the 12-bit converter, 250 otherwise), the lower
// end the plot's lower limit taken as volts.
struct CodeRange {
    float upper;
    float lower;
};
CodeRange editorCodeRange(ModuleKind kind, float plotLower);

// The nine default texts, in WaveField order, for a module type.
std::array<QString, kWaveFields> defaultWaveTexts(ModuleKind kind);

// A field that failed its rule: the message to show, then the value that
// replaces its text.
struct FieldCorrection {
    QString message;
    int corrected;
    bool operator==(const FieldCorrection&) const = default;
};

// A field's text as a whole number: the leading number, rounded halves to
// even; a reading beyond 16 bits counts as the nearest 16-bit value, so it is
// too large or too small rather than an overflow.
int16_t readWaveValue(const QString& text);

// The rules; each takes its own field's text and the other field it reads
// (the frame's offset for an amplitude, its amplitude for an offset).
std::optional<FieldCorrection> checkPeriodicAmplitude(const QString& amplitude,
                                                      const QString& offset, int16_t maxCode);
std::optional<FieldCorrection> checkStimulusAmplitude(const QString& amplitude,
                                                      const QString& offset, int16_t maxCode);
std::optional<FieldCorrection> checkPeriodicOffset(const QString& offset, const QString& amplitude,
                                                   int16_t maxCode);
std::optional<FieldCorrection> checkStimulusOffset(const QString& offset, const QString& amplitude,
                                                   int16_t maxCode);
std::optional<FieldCorrection> checkPeriod(const QString& period);

// The rule of one field over the texts of all nine (WaveField order).
std::optional<FieldCorrection> checkWaveField(WaveField field,
                                              const std::array<QString, kWaveFields>& texts,
                                              int16_t maxCode);
