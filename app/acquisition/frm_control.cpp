#include "acquisition/frm_control.h"

#include "config/app_context.h"

FrmControl::FrmControl(AppContext& ctx, QWidget* parent) : QMainWindow(parent), ctx_(ctx) {
    setObjectName(QStringLiteral("FRM_CONTROL"));
    setWindowTitle(AppContext::appTitle());
}

FrmControl::~FrmControl() = default;

void FrmControl::load() {}
