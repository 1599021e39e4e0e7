// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/window_set.h"

#include <QObject>

#include "acquisition/recorder.h"
#include "common/prompts.h"
#include "config/module_setup.h"
#include "core/session.h"
#include "core/settings_model.h"
#include "core/tavo_library.h"
#include "generator/wave_player.h"
#include "windows/colour_entry.h"
#include "windows/frm_colores.h"
#include "windows/frm_configuracion.h"
#include "windows/frm_control.h"
#include "windows/frm_definir_ondas.h"
#include "windows/frm_definir_senales_graf.h"
#include "windows/frm_registro.h"
#include "windows/frm_visor.h"
#include "windows/help_window.h"
#include "windows/plot_layout.h"

WindowSet::WindowSet(Session& session) : session_(session) {
    // The library binding returns what went wrong; the windows say it.
    session_.library().setProblemTeller(prompts::tellLibraryProblem);
}

WindowSet::~WindowSet() {
    session_.library().setProblemTeller({});
    // Dialogs first, the main window last, since the others may still look at
    // the session's state it keeps while closing. The help window is the main
    // window's child.
    delete configuracion_;
    configuracion_ = nullptr;
    for (const QPointer<QWidget>& dialog : unloaded_) delete dialog.data();
    for (const QPointer<FrmVisor>& viewer : viewers_) delete viewer.data();
    delete registro_;
    registro_ = nullptr;
    help_ = nullptr;
    delete control_;
    control_ = nullptr;
}

// Each window is published before its load handler runs: load handlers ask
// for other windows, which may ask back for this one.
FrmControl* WindowSet::frmControl() {
    if (!control_) {
        control_ = new FrmControl(session_, *this);
        control_->setGeneratorVerbs(this);
        if (startup_) {
            startup_(*control_);
        } else {
            control_->load();
        }
    }
    return control_;
}

FrmRegistro* WindowSet::frmRegistro() {
    if (!registro_) {
        registro_ = new FrmRegistro(session_, *this);
        registro_->load();
    }
    return registro_;
}

FrmConfiguracion* WindowSet::frmConfiguracion() {
    if (!configuracion_) {
        configuracion_ = new FrmConfiguracion(session_, *this);
        configuracion_->load();
    }
    return configuracion_;
}

void WindowSet::showMain() {
    frmControl()->show();
}

void WindowSet::loadMain() {
    frmControl();
}

void WindowSet::raiseMain() {
    FrmControl* main = frmControl();
    main->show();
    main->raise();
    main->activateWindow();
}

void WindowSet::loadPlot() {
    frmRegistro();
}

void WindowSet::showPlot() {
    frmRegistro()->show();
}

void WindowSet::showPlotStartScale() {
    frmRegistro()->showStartScale();
}

void WindowSet::relayoutPlot() {
    LayoutPlotWindow(session_, frmRegistro());
}

void WindowSet::loadConfiguration() {
    frmConfiguracion();
}

void WindowSet::openConfiguration() {
    frmConfiguracion()->exec();
}

void WindowSet::showConfiguration() {
    FrmConfiguracion* dialog = frmConfiguracion();
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

void WindowSet::closeConfiguration() {
    if (!configuracion_) return;
    // Called from the dialog's own buttons: it goes once they have returned.
    configuracion_->hide();
    configuracion_->deleteLater();
    unloaded_ << configuracion_;
    configuracion_ = nullptr;
    // The next opening takes the module set-up afresh.
    CloseModuleDraft(session_);
}

void WindowSet::editColours(ColourEntry entry) {
    // Loaded anew at every opening, on top of the window it came from.
    QWidget* from = entry == ColourEntry::ConfigurationDialog && configuracion_
                        ? static_cast<QWidget*>(configuracion_)
                        : frmControl();
    FrmColores dialog(from);
    ColourDialogCalls calls;
    calls.edit = [&dialog](const ColourTable& table) { return dialog.edit(table); };
    // The generator preview is drawn by the main window when the player asks.
    // As it was last drawn: the waveform dialog scales it to the converter's
    // full scale, not to the plot's limits.
    calls.redrawPreview = [this] { session_.wavePlayer().redrawPreview(); };
    EditColours(session_.recorder(), session_.settings(), entry, calls);
}

void WindowSet::openHelp(const QString& file) {
    if (!help_) help_ = new HelpWindow(frmControl());
    help_->openContents(file);
}

void WindowSet::hideOthers() {
    if (help_) help_->hide();
    if (ondas_) ondas_->hide();
    if (senales_) senales_->hide();
    if (configuracion_) configuracion_->hide();
    frmRegistro()->hide();
    for (const QPointer<FrmVisor>& viewer : viewers_) {
        if (viewer) viewer->hide();
    }
}

void WindowSet::openRecording(const QString& file) {
    // A window of its own, which ends with the main window.
    auto* viewer = new FrmVisor(session_, file, frmControl());
    viewer->setWindowFlag(Qt::Window);
    viewer->setAttribute(Qt::WA_DeleteOnClose);
    viewers_.removeAll(nullptr);
    viewers_.append(viewer);
    viewer->show();
}

QList<FrmVisor*> WindowSet::viewers() const {
    QList<FrmVisor*> open;
    for (const QPointer<FrmVisor>& viewer : viewers_) {
        if (viewer) open.append(viewer.data());
    }
    return open;
}

FrmDefinirOndas* WindowSet::frmDefinirOndas() {
    if (!ondas_) {
        // In front of the main window.
        ondas_ = new FrmDefinirOndas(session_, *this, frmControl());
        QObject::connect(ondas_, &FrmDefinirOndas::discarded, ondas_, [this] {
            // After the handler that closed it, and after a modal showing.
            ondas_->deleteLater();
            ondas_ = nullptr;
        });
    }
    return ondas_;
}

FrmDefinirOndas* WindowSet::frmDefinirOndasLoaded() const {
    return ondas_;
}

FrmDefinirSenalesGraf* WindowSet::frmDefinirSenalesGrafLoaded() const {
    return senales_;
}

void WindowSet::showWaveDialog(WaveFrame frame) {
    FrmDefinirOndas* d = frmDefinirOndas();
    d->showFrame(frame);
    d->show();
    d->raise();
    d->activateWindow();
}

void WindowSet::showUserSignalDialog(const DrawnFigures& figures) {
    FrmDefinirOndas* d = frmDefinirOndas();
    d->setUserFigures(figures.amplitude, figures.offset, figures.period, figures.maxCode);
    d->showFrame(WaveFrame::User);
    d->exec();
}

std::optional<DrawnFigures> WindowSet::editDrawnSignal() {
    // The editor draws in codes; the plot's own limits are left alone for
    // the next recording.
    const VarGlob& g = session_.g;
    const CodeRange range = editorCodeRange(moduleKindOf(g.ModuleType), g.PlotLower);
    if (!senales_) {
        senales_ = new FrmDefinirSenalesGraf(session_, range, frmControl());
    } else {
        senales_->setRange(range);
    }
    senales_->exec();
    if (senales_->discarded()) {
        senales_->deleteLater();
        senales_ = nullptr;
        return std::nullopt;
    }
    if (!senales_->accepted()) return std::nullopt;
    return drawnFigures();
}

DrawnFigures WindowSet::drawnFigures() {
    if (!senales_) return {QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("0"), 0};
    return {senales_->lbl_amplitud->text(), senales_->lbl_offset->text(),
            senales_->lbl_periodo->text(), senales_->drawnMaxCode()};
}
