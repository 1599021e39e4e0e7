// SPDX-License-Identifier: GPL-3.0-or-later
// The program's windows: the one place that creates, loads, shows and
// unloads them. Each window is created and loaded the first time anything
// needs it (the main window's start-up relies on that order), and stays until
// the set ends. Windows get the session and the set's verbs, never each
// other.
#pragma once

#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>

#include "windows/generator_verbs.h"
#include "windows/window_verbs.h"

class Session;
class FrmControl;
class FrmRegistro;
class FrmConfiguracion;
class HelpWindow;
class FrmDefinirOndas;
class FrmDefinirSenalesGraf;
class FrmVisor;

class WindowSet : public WindowVerbs, public GeneratorVerbs {
  public:
    explicit WindowSet(Session& session);
    ~WindowSet() override;
    WindowSet(const WindowSet&) = delete;
    WindowSet& operator=(const WindowSet&) = delete;

    // Starts the program: the main window loads and shows.
    void showMain();
    // What runs on the main window just created: the program's start-up,
    // which loads it; without one the window only loads.
    void setStartup(std::function<void(FrmControl&)> startup) { startup_ = std::move(startup); }

    void loadMain() override;
    void raiseMain() override;
    void loadPlot() override;
    void showPlot() override;
    void showPlotStartScale() override;
    void relayoutPlot() override;
    void loadConfiguration() override;
    void openConfiguration() override;
    void showConfiguration() override;
    void closeConfiguration() override;
    void editColours(ColourEntry entry) override;
    void openHelp(const QString& file) override;
    void openRecording(const QString& file) override;
    void hideOthers() override;

    // The generator's windows: the waveform dialog and the graphic editor.
    void showWaveDialog(WaveFrame frame) override;
    void showUserSignalDialog(const DrawnFigures& figures) override;
    std::optional<DrawnFigures> editDrawnSignal() override;
    DrawnFigures drawnFigures() override;

    // The windows, created and loaded on first use (for the tests, which
    // look at their controls).
    FrmControl* frmControl();
    FrmRegistro* frmRegistro();
    FrmConfiguracion* frmConfiguracion();
    bool frmConfiguracionLoaded() const { return configuracion_ != nullptr; }
    HelpWindow* helpWindow() const { return help_; }
    FrmDefinirOndas* frmDefinirOndas();
    // The generator's windows as they stand: null while not loaded.
    FrmDefinirOndas* frmDefinirOndasLoaded() const;
    FrmDefinirSenalesGraf* frmDefinirSenalesGrafLoaded() const;
    // The recording viewers still open.
    QList<FrmVisor*> viewers() const;

  private:
    Session& session_;
    std::function<void(FrmControl&)> startup_;
    FrmControl* control_ = nullptr;
    FrmRegistro* registro_ = nullptr;
    FrmConfiguracion* configuracion_ = nullptr;
    HelpWindow* help_ = nullptr;
    // Closed by its frame, each is let go and loaded afresh when next needed.
    QPointer<FrmDefinirOndas> ondas_;
    QPointer<FrmDefinirSenalesGraf> senales_;
    // Each viewer is deleted when closed.
    QList<QPointer<FrmVisor>> viewers_;
    // Dialogs unloaded from inside their own handlers, deleted once those
    // have returned (or with the set).
    QList<QPointer<QWidget>> unloaded_;
};
