// SPDX-License-Identifier: GPL-3.0-or-later
// The main window names the hardware the library reaches, so nobody records
// the bench's signals thinking they are the modules'.
#include <QMessageBox>
#include <QStatusBar>

#include "common/prompts.h"
#include "common/title.h"
#include "core/library_backend.h"
#include "core/session.h"
#include "windows/frm_control.h"

void FrmControl::showBackend() {
    const LibraryBackend backend = queryBackend(session_.library());
    const QString caption = backendCaption(backend);
    Lbl_acceso->setText(caption);
    Lbl_acceso->setToolTip(QString::fromLocal8Bit(backend.info.text));
    setWindowTitle(QStringLiteral("%1 — %2").arg(appTitle(), caption));
    const QString warning = backendWarning(backend);
    if (!warning.isEmpty()) prompts::message(this, QMessageBox::Warning, appTitle(), warning);
}
