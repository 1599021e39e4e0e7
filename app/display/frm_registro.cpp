#include "display/frm_registro.h"

FrmRegistro::FrmRegistro(AppContext& ctx, QWidget* parent) : QWidget(parent), ctx_(ctx) {
    setObjectName(QStringLiteral("FRM_REGISTRO"));
}

void FrmRegistro::load() {}
