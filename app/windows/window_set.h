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

#include "windows/window_verbs.h"

class Session;
class FrmControl;
class FrmRegistro;
class FrmConfiguracion;
class HelpWindow;

class WindowSet : public WindowVerbs {
  public:
    explicit WindowSet(Session& session);
    ~WindowSet() override;
    WindowSet(const WindowSet&) = delete;
    WindowSet& operator=(const WindowSet&) = delete;

    // Starts the program: the main window loads and shows.
    void showMain();

    void loadMain() override;
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
    void hideOthers() override;

    // The windows, created and loaded on first use (for the tests, which
    // look at their controls).
    FrmControl* frmControl();
    FrmRegistro* frmRegistro();
    FrmConfiguracion* frmConfiguracion();
    bool frmConfiguracionLoaded() const { return configuracion_ != nullptr; }
    HelpWindow* helpWindow() const { return help_; }

  private:
    Session& session_;
    FrmControl* control_ = nullptr;
    FrmRegistro* registro_ = nullptr;
    FrmConfiguracion* configuracion_ = nullptr;
    HelpWindow* help_ = nullptr;
    // Dialogs unloaded from inside their own handlers, deleted once those
    // have returned (or with the set).
    QList<QPointer<QWidget>> unloaded_;
};
