// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/plot_scale.h"

#include "core/settings_model.h"

PlotScale plotScale(const SettingsModel& m) {
    const VarGlob& g = m.globals();
    PlotScale s;
    s.lower = g.PlotLower;
    s.upper = g.PlotUpper;
    s.units = g.UnitsText;
    s.periodMs = g.PeriodMs;
    s.xyMode = m.xyMode() != CheckValue::Unchecked;
    s.foreColour = g.Colores[5][2];
    s.backColour = g.Colores[5][1];
    return s;
}
