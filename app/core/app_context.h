// One application context owns the globals, the settings model, the library
// binding, the engines and the windows. Each window is created and loaded
// the first time anything asks for it, and stays until the context ends. The
// accessor hands out the window while its own load handler is still running,
// because load handlers reach back into their own window. Only
// app_context.cpp names the windows' classes.
#pragma once

#include <QString>
#include <QStringList>

#include <memory>

#include "core/var_glob.h"

class FrmControl;
class FrmRegistro;
class FrmConfiguracion;
class GeneratorWindows;
class TavoLibrary;
class QWidget;
class SettingsModel;
class WavePlayer;
class Recorder;
class AnalogOutput;
class PlotTraceSink;
class QTimer;
struct RecorderSettings;

class AppContext {
  public:
    // arguments: the program's command line without the program name.
    explicit AppContext(QStringList arguments = {});
    ~AppContext();
    AppContext(const AppContext&) = delete;
    AppContext& operator=(const AppContext&) = delete;

    VarGlob g;

    FrmControl* frmControl();
    FrmRegistro* frmRegistro();
    FrmConfiguracion* frmConfiguracion();
    bool frmConfiguracionLoaded() const;
    // The main window as the parent of messages and file dialogs.
    QWidget* mainWindow();
    // Redoes the plot window's layout for its present size.
    void layOutPlotWindow();

    TavoLibrary& library();
    SettingsModel& settings();

    // Engines: no widgets; windows connect to their signals.
    WavePlayer& wavePlayer();
    Recorder& recorder();
    AnalogOutput& analogOutput();
    // The sampling engine's timer, which the main window shows as
    // TMR_ANALOGICO.
    QTimer* samplingTimer() { return samplingTimer_; }
    // The options of the windows the sampling engine follows.
    RecorderSettings recorderSettings() const;

    const QStringList& arguments() const { return arguments_; }
    // Caption of the main window and title of the program's message boxes.
    static QString appTitle();

  private:
    QStringList arguments_;
    std::unique_ptr<TavoLibrary> library_;
    std::unique_ptr<SettingsModel> settings_;
    std::unique_ptr<WavePlayer> wavePlayer_;
    std::unique_ptr<PlotTraceSink> plotSink_;
    QTimer* samplingTimer_ = nullptr;
    std::unique_ptr<Recorder> recorder_;
    std::unique_ptr<AnalogOutput> analogOutput_;
    FrmControl* control_ = nullptr;
    FrmRegistro* registro_ = nullptr;
    FrmConfiguracion* configuracion_ = nullptr;
    std::unique_ptr<GeneratorWindows> generatorWindows_;
};
