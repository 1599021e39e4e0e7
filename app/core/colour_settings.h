// SPDX-License-Identifier: GPL-3.0-or-later
// What the colour table does to the rest of the program: the defaults at
// start-up, and the colours taking effect once the colour dialog closes. Both
// act through the settings model; the windows follow its notifications.
#pragma once

class SettingsModel;

// The default table; the value labels take its colours and the plot area
// its own (PlotColours).
void ResetDefaultColours(SettingsModel& m);

// The table in force takes effect: the trace area and the generator preview
// are cleared in the plot area's colours, the grid is drawn again when shown
// (ColoursApplied), and the five value labels take the colours of their rows.
void ApplyColours(SettingsModel& m);
