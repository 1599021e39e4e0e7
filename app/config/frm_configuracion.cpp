#include "config/frm_configuracion.h"

FrmConfiguracion::FrmConfiguracion(AppContext& ctx, QWidget* parent) : QDialog(parent), ctx_(ctx) {
    setObjectName(QStringLiteral("FRM_CONFIGURACION"));
}

void FrmConfiguracion::load() {}
