// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/apply_configuration.h"

#include "common/numbers.h"
#include "config/config_file_format.h"
#include "core/session.h"

std::optional<float> upperPlotLimit(ModuleKind kind, float scaleFactor) {
    const double full = kind == ModuleKind::Converter12 ? 4.095 : 2.5;
    return config_format::toSingle(double(scaleFactor) * full);
}

bool ApplyConfiguration(Session& session) {
    const VarGlob& g = session.g;
    SettingsModel& m = session.settings();

    m.setModuleType(typeOptionKind(m.typeOption()));
    const auto scale = config_format::toSingle(readNumber(m.scaleDraft()));
    if (!scale) return false;
    m.setScale(*scale, m.unitsDraft());
    // The lower limit is set first.
    const bool twelveBit = m.moduleKind() == ModuleKind::Converter12;
    const auto upper = upperPlotLimit(m.moduleKind(), g.ScaleFactor);
    if (!upper) {
        m.setPlotLimits(0.0f, g.PlotUpper, m.outputMaximum());
        return false;
    }
    m.setPlotLimits(0.0f, *upper, twelveBit ? 4095 : 255);
    m.setUnitsCaption(g.UnitsText);
    if (const int tipo = m.typeOption(); tipo >= 0) {
        m.setTypeTag({static_cast<int16_t>(tipo), false});
    }
    m.setDataFileCaption(g.DataFileName);
    return true;
}
