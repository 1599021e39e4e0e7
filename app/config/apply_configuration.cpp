#include "config/apply_configuration.h"

#include "acquisition/frm_control.h"
#include "common/numbers.h"
#include "config/app_context.h"
#include "config/config_file_format.h"
#include "config/frm_configuracion.h"

bool ApplyConfiguration(AppContext& ctx) {
    VarGlob& g = ctx.g;
    FrmConfiguracion* dialog = ctx.frmConfiguracion();
    FrmControl* control = ctx.frmControl();

    // 1
    g.ModuleType = dialog->OPT_TIPO[3]->isChecked() ? 2 : 0;
    // 2
    const auto scale = config_format::toSingle(readNumber(dialog->TxtEscala->text()));
    if (!scale) return false;
    g.ScaleFactor = *scale;
    // 3
    g.UnitsText = dialog->TxtUnidades->text();
    // 4: the limit is computed wide and kept as a single; a 12-bit code is
    // one millivolt, an 8-bit one 2.5/255 V.
    g.PlotLower = 0.0f;
    const bool twelveBit = g.ModuleType == 2;
    const auto upper = config_format::toSingle(double(g.ScaleFactor) * (twelveBit ? 4.095 : 2.5));
    if (!upper) return false;
    g.PlotUpper = *upper;
    control->HSr_salanal->setMaximum(twelveBit ? 4095 : 255);
    // 5
    for (QLabel* units : control->LBUnidades) units->setText(g.UnitsText);
    // 6
    if (const int tipo = dialog->selectedTipo(); tipo >= 0) {
        control->LB_MODO->setProperty("Tag", QString::number(tipo));
    }
    // 7
    control->Lbl_archivo->setText(g.DataFileName);
    return true;
}
