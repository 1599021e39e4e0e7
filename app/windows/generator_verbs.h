// SPDX-License-Identifier: GPL-3.0-or-later
// What the generator's windows ask of the window set: each other's showing,
// never each other's widgets.
#pragma once

#include <QString>

#include <cstdint>
#include <optional>

#include "generator/wave_fields.h"

// The graphic editor's result labels: the drawing's amplitude, offset and
// period as it shows them, and the largest code of the module it was drawn
// for (0 when there is no drawing).
struct DrawnFigures {
    QString amplitude;
    QString offset;
    QString period;
    int16_t maxCode = 0;
};

class GeneratorVerbs {
  public:
    virtual ~GeneratorVerbs() = default;
    // The waveform dialog with one frame shown, without blocking the caller.
    virtual void showWaveDialog(WaveFrame frame) = 0;
    // The dialog's user frame, its fields holding the drawing's figures;
    // returns when the dialog is hidden.
    virtual void showUserSignalDialog(const DrawnFigures& figures) = 0;
    // The graphic editor on the converter's code range, until it closes:
    // its figures when it accepted, nothing when closed by its frame.
    virtual std::optional<DrawnFigures> editDrawnSignal() = 0;
    // The editor's figures as they stand; "0" each while it is not loaded.
    virtual DrawnFigures drawnFigures() = 0;
};
