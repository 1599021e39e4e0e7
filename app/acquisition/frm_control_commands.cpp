// FRM_CONTROL's menus and buttons that reach other windows, and the end of
// the program.
#include <QApplication>
#include <QCloseEvent>

#include "acquisition/frm_control.h"
#include "acquisition/help_window.h"
#include "acquisition/recorder.h"
#include "config/config_commands.h"
#include "config/frm_configuracion.h"
#include "core/app_context.h"
#include "display/frm_registro.h"
#include "generator/wave_player.h"

void FrmControl::StartStopRecording() {
    ctx_.recorder().StartStopRecording();
}

void FrmControl::ClearWaveform() {
    ctx_.wavePlayer().ClearWaveform();
}

void FrmControl::onBtConfigurar() {
    if (ctx_.g.Recording != kFalse) StartStopRecording();
    ClearWaveform();
    if (ending_) return;
    ctx_.frmConfiguracion()->exec();
}

void FrmControl::onModificarConfiguracion() {
    if (ctx_.g.Recording != kFalse) StartStopRecording();
    if (ending_) return;
    ctx_.frmConfiguracion()->exec();
}

void FrmControl::onGrabarConfiguracion() {
    // Modeless: a running recording goes on.
    FrmConfiguracion* dialog = ctx_.frmConfiguracion();
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

void FrmControl::onLeer() {
    RunLoadCommand(ctx_);
}

void FrmControl::onAyuda() {
    if (!helpWindow_) helpWindow_ = new HelpWindow(this);
    helpWindow_->openContents(helpFile_);
}

void FrmControl::EndApplication() {
    if (ending_) return;
    ending_ = true;
    // No tick or playback step may run any more. The recording is abandoned
    // as it is: no data file, no saved configuration, the output keeps its
    // value. Windows are only hidden here, since this may run inside one of
    // their handlers (or inside a tick suspended in the event loop); the
    // context deletes them once the event loop has returned.
    ctx_.recorder().abandon();
    Tmr_onda->stop();
    if (helpWindow_) helpWindow_->hide();
    if (ctx_.frmConfiguracionLoaded()) ctx_.frmConfiguracion()->hide();
    ctx_.frmRegistro()->hide();
    hide();
    // Leaves every running event loop, modal ones included.
    QCoreApplication::exit(0);
}

void FrmControl::closeEvent(QCloseEvent* event) {
    event->accept();
    EndApplication();
}
