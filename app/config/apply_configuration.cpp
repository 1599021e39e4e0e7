#include "config/apply_configuration.h"

#include "common/numbers.h"
#include "config/config_file_format.h"
#include "config/frm_configuracion.h"
#include "core/app_context.h"
#include "core/settings_model.h"

bool ApplyConfiguration(AppContext& ctx) {
    const VarGlob& g = ctx.g;
    SettingsModel& m = ctx.settings();
    FrmConfiguracion* dialog = ctx.frmConfiguracion();

    // 1
    m.setModuleType(dialog->OPT_TIPO[3]->isChecked() ? ModuleKind::Converter12
                                                     : ModuleKind::Converter8);
    // 2
    const auto scale = config_format::toSingle(readNumber(dialog->TxtEscala->text()));
    if (!scale) return false;
    // 3
    m.setScale(*scale, dialog->TxtUnidades->text());
    // 4: the limit is computed wide and kept as a single; a 12-bit code is
    // one millivolt, an 8-bit one 2.5/255 V. The lower limit is set first.
    const bool twelveBit = m.moduleKind() == ModuleKind::Converter12;
    const auto upper = config_format::toSingle(double(g.ScaleFactor) * (twelveBit ? 4.095 : 2.5));
    if (!upper) {
        m.setPlotLimits(0.0f, g.PlotUpper, m.outputMaximum());
        return false;
    }
    m.setPlotLimits(0.0f, *upper, twelveBit ? 4095 : 255);
    // 5
    m.setUnitsCaption(g.UnitsText);
    // 6
    if (const int tipo = dialog->selectedTipo(); tipo >= 0) {
        m.setTypeTag({static_cast<int16_t>(tipo), false});
    }
    // 7
    m.setDataFileCaption(g.DataFileName);
    return true;
}
