// SPDX-License-Identifier: GPL-3.0-or-later
// FRM_CONTROL's entries for the log of every sweep and for looking at a
// recording again.
#include <QActionGroup>
#include <QMenu>
#include <QMessageBox>
#include <QStatusBar>

#include "acquisition/sweep_log.h"
#include "common/prompts.h"
#include "common/title.h"
#include "core/session.h"
#include "windows/frm_control.h"
#include "windows/window_verbs.h"

void FrmControl::connectLog() {
    SweepLog& log = session_.sweepLog();
    MN_GuardarTodos->setCheckable(true);
    auto* cut = new QActionGroup(this);
    for (QAction* a : {MN_CortarTamano, MN_CortarMedianoche}) {
        a->setCheckable(true);
        cut->addAction(a);
    }
    const LogPreferences p = log.preferences();
    MN_GuardarTodos->setChecked(p.keepAll);
    (p.rotation == LogRotation::AtMidnight ? MN_CortarMedianoche : MN_CortarTamano)
        ->setChecked(true);
    MN_CortarTamano->setText(
        QStringLiteral("Nuevo fichero cada %1 MB").arg(p.sizeLimit / (1024 * 1024)));

    // Each choice is kept at once in the user's own settings file.
    const auto choose = [this] {
        SweepLog& log = session_.sweepLog();
        LogPreferences p = log.preferences();
        p.keepAll = MN_GuardarTodos->isChecked();
        p.rotation =
            MN_CortarMedianoche->isChecked() ? LogRotation::AtMidnight : LogRotation::BySize;
        log.setPreferences(p);
        saveLogPreferences(*userSettings(), p);
    };
    for (QAction* a : {MN_GuardarTodos, MN_CortarTamano, MN_CortarMedianoche}) {
        connect(a, &QAction::triggered, this, choose);
    }
    connect(&log, &SweepLog::logStarted, this,
            [this] { statusBar()->showMessage(QStringLiteral("Guardando todos los barridos.")); });
    connect(&log, &SweepLog::logStopped, this, &FrmControl::showLogStopped);

    connect(MN_AbrirRegistro, &QAction::triggered, this, [this] {
        const FileDialogRequest request{
            FileDialogRequest::Open, QStringLiteral("Abrir registro"),
            QStringLiteral("Registros y ficheros de datos|*.csv;*.CSV;*.DAT;*.dat;*.TXT;*.txt"),
            session_.g.DataFileName};
        const QString name = prompts::fileDialog(this, request);
        if (!name.isEmpty()) windows_.openRecording(name);
    });
}

void FrmControl::showLogStopped(const QString& message) {
    statusBar()->showMessage(message);
    // A box that does not wait: the recording goes on behind it.
    auto* box = new QMessageBox(QMessageBox::Warning, appTitle(), message, QMessageBox::Ok, this);
    box->setObjectName(QStringLiteral("MSG_RegistroDetenido"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
}
