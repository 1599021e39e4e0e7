// SPDX-License-Identifier: GPL-3.0-or-later
// Opening the colour dialog, from the main window's menu "&Colores" or from
// the configuration dialog's "Cam&biar Colores". Sampling holds while the
// dialog is open; the colours take effect when it closes; then a recording
// that was sampling resumes when the dialog came from the configuration
// dialog, and ends (as "Parar registro" would end it) when it came from the
// menu, which also redraws the generator preview.
#pragma once

#include <functional>
#include <optional>

#include "common/colour_rules.h"

class Recorder;
class SettingsModel;

enum class ColourEntry { Menu, ConfigurationDialog };

struct ColourDialogCalls {
    // Shows the dialog modally on a copy of the table; the edited table when
    // the user kept the edits, nothing when they cancelled.
    std::function<std::optional<ColourTable>(const ColourTable&)> edit;
    // Redraws the generator preview in the new colours.
    std::function<void()> redrawPreview;
};

void EditColours(Recorder& recorder, SettingsModel& m, ColourEntry entry,
                 const ColourDialogCalls& calls);
