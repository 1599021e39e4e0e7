#include "config/plot_window_access.h"

#include "config/app_context.h"
#include "display/frm_registro.h"

namespace {
template <typename T>
T* control(AppContext& ctx, const QString& name) {
    return ctx.frmRegistro()->findChild<T*>(name);
}
}  // namespace

QRadioButton* plotOptX(AppContext& ctx, int index) {
    return control<QRadioButton>(ctx, QStringLiteral("opt_x_%1").arg(index));
}

QRadioButton* plotOptY(AppContext& ctx, int index) {
    return control<QRadioButton>(ctx, QStringLiteral("opt_y_%1").arg(index));
}

QCheckBox* plotGridBox(AppContext& ctx) {
    return control<QCheckBox>(ctx, QStringLiteral("CHK_REJILLA"));
}

QCheckBox* plotXYModeBox(AppContext& ctx) {
    return control<QCheckBox>(ctx, QStringLiteral("CHK_MODO"));
}

void relayoutPlotWindow(AppContext& ctx) {
    ctx.frmRegistro();
}
