// SPDX-License-Identifier: GPL-3.0-or-later
// FRM_CONTROL's menus and buttons that reach other windows, and the end of
// the program.
#include <QApplication>
#include <QCloseEvent>

#include "acquisition/recorder.h"
#include "config/config_commands.h"
#include "core/session.h"
#include "generator/wave_player.h"
#include "windows/frm_control.h"
#include "windows/window_verbs.h"

void FrmControl::StartStopRecording() {
    session_.recorder().StartStopRecording();
}

void FrmControl::ClearWaveform() {
    session_.wavePlayer().ClearWaveform();
}

void FrmControl::onBtConfigurar() {
    if (session_.g.Recording != kFalse) StartStopRecording();
    ClearWaveform();
    if (ending_) return;
    windows_.openConfiguration();
}

void FrmControl::onModificarConfiguracion() {
    if (session_.g.Recording != kFalse) StartStopRecording();
    if (ending_) return;
    windows_.openConfiguration();
}

void FrmControl::onGrabarConfiguracion() {
    // Modeless: a running recording goes on.
    windows_.showConfiguration();
}

void FrmControl::onLeer() {
    RunLoadCommand(session_, this);
}

void FrmControl::onAyuda() {
    windows_.openHelp(helpFile_);
}

void FrmControl::EndApplication() {
    if (ending_) return;
    ending_ = true;
    // No tick or playback step may run any more. The recording is abandoned
    // as it is: no data file, no saved configuration, the output keeps its
    // value. Windows are only hidden here, since this may run inside one of
    // their handlers (or inside a tick suspended in the event loop); the
    // window set deletes them once the event loop has returned.
    session_.recorder().abandon();
    session_.wavePlayer().abandon();
    Tmr_onda->stop();
    windows_.hideOthers();
    hide();
    // Leaves every running event loop, modal ones included.
    QCoreApplication::exit(0);
}

void FrmControl::closeEvent(QCloseEvent* event) {
    event->accept();
    EndApplication();
}
