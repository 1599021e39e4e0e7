// SPDX-License-Identifier: GPL-3.0-or-later
// The waveform table the generator plays: how each kind of signal fills it.
// All four operations work on the globals' WaveTable, WaveLength and
// WaveOneShot and nothing else. A fill that would overflow a 16-bit value,
// index outside the table or divide by zero changes nothing and says why,
// so the table and its length are always valid afterwards.
#pragma once

#include <QString>

#include <cstdint>

struct VarGlob;

enum class TableFault {
    None,
    Overflow,        // a 16-bit value out of range
    Index,           // an entry outside 1 to 300
    DivisionByZero,  // a period or amplitude of 0
    FlatDrawing,     // the drawn signal has no amplitude to rescale
};

// The text a refused fill shows, empty for None.
QString tableFaultMessage(TableFault fault);

// Periodic waves: kind 0 sine, 1 square, 2 triangle; period in ms, amplitude
// peak to peak, offset, in codes. WaveOneShot is left as it is.
TableFault GeneratePeriodic(VarGlob& g, int kind, int16_t periodMs, int16_t amplitude,
                            int16_t offset);

// Stimuli: kind 0 impulse, 1 step, 2 ramp; the amplitude is the height above
// the offset and may be negative. The table is played once.
TableFault GenerateStimulus(VarGlob& g, int kind, int16_t durationMs, int16_t amplitude,
                            int16_t offset);

// The drawn signal's first points as the table, each rounded and kept within
// 0 to outputMaximum (the analog output cannot take anything else). Fewer
// than two points change nothing.
TableFault AcceptDrawnSignal(VarGlob& g, int16_t points, bool periodic, int outputMaximum);

// The texts ApplyUserSignal works from: the dialog's user fields and the
// graphic editor's result labels.
struct UserSignalTexts {
    QString amplitude;
    QString offset;
    QString period;
    QString drawnAmplitude;
    QString drawnOffset;
    QString drawnPeriod;
};

struct UserSignalResult {
    TableFault fault = TableFault::None;
    // The period grew: each drawn step is repeated, which the user hears.
    bool stretched = false;
};

// Rebuilds the table from the drawn signal for a new amplitude, offset and
// period: every one of the 300 entries is moved from the drawn offset and
// amplitude to the new ones and kept within 0 to maxCode, then the table is
// compressed or stretched to the new number of steps.
UserSignalResult ApplyUserSignal(VarGlob& g, const UserSignalTexts& texts, int16_t maxCode);
