#include "core/app_context.h"

#include "acquisition/analog_output.h"
#include "acquisition/frm_control.h"
#include "acquisition/recorder.h"
#include "config/frm_configuracion.h"
#include "core/settings_model.h"
#include "core/tavo_library.h"
#include "display/frm_registro.h"
#include "display/plot_layout.h"
#include "display/plot_trace_sink.h"
#include "generator/wave_player.h"
#include "windows/generator_windows.h"

AppContext::AppContext(QStringList arguments)
    : arguments_(std::move(arguments)),
      library_(std::make_unique<TavoLibrary>()),
      settings_(std::make_unique<SettingsModel>(g)),
      plotSink_(std::make_unique<PlotTraceSink>(*this)) {
    auto timer = std::make_unique<QtSamplingTimer>();
    samplingTimer_ = timer->timer();
    samplingTimer_->setObjectName(QStringLiteral("TMR_ANALOGICO"));
    recorder_ = std::make_unique<Recorder>(
        *library_, g, [this] { return recorderSettings(); }, plotSink_.get(), std::move(timer));
    analogOutput_ = std::make_unique<AnalogOutput>(*library_, g);
    wavePlayer_ = std::make_unique<WavePlayer>(g, *analogOutput_,
                                               [this] { return settings_->outputMaximum(); });
}

AppContext::~AppContext() {
    // Windows without a parent belong to the context; dialogs first, the main
    // window last, since the others may still look at it while closing.
    delete configuracion_;
    configuracion_ = nullptr;
    delete registro_;
    registro_ = nullptr;
    delete control_;
    control_ = nullptr;
}

// Each accessor publishes the window before its load handler runs: load
// handlers reach their own window (and others) through the context.
FrmControl* AppContext::frmControl() {
    if (!control_) {
        control_ = new FrmControl(*this);
        // The waveform dialog and the editor stay in front of the main window.
        generatorWindows_ = std::make_unique<GeneratorWindows>(
            g, *wavePlayer_, [this] { return settings_->outputMaximum(); }, control_);
        control_->setGeneratorVerbs(generatorWindows_.get());
        control_->load();
    }
    return control_;
}

FrmRegistro* AppContext::frmRegistro() {
    if (!registro_) {
        registro_ = new FrmRegistro(*this);
        registro_->load();
    }
    return registro_;
}

FrmConfiguracion* AppContext::frmConfiguracion() {
    if (!configuracion_) {
        configuracion_ = new FrmConfiguracion(*this);
        configuracion_->load();
    }
    return configuracion_;
}

bool AppContext::frmConfiguracionLoaded() const {
    return configuracion_ != nullptr;
}

QWidget* AppContext::mainWindow() {
    return frmControl();
}

void AppContext::layOutPlotWindow() {
    LayoutPlotWindow(*this, frmRegistro());
}

TavoLibrary& AppContext::library() {
    return *library_;
}

SettingsModel& AppContext::settings() {
    return *settings_;
}

WavePlayer& AppContext::wavePlayer() {
    return *wavePlayer_;
}

Recorder& AppContext::recorder() {
    return *recorder_;
}

AnalogOutput& AppContext::analogOutput() {
    return *analogOutput_;
}

RecorderSettings AppContext::recorderSettings() const {
    const SettingsModel& m = *settings_;
    RecorderSettings s;
    s.once = m.once();
    s.recordToFile = m.save() != CheckValue::Unchecked;
    for (size_t i = 0; i < s.visible.size(); ++i) {
        s.visible[i] = m.visible()[i] != CheckValue::Unchecked;
    }
    s.xyMode = m.xyMode() != CheckValue::Unchecked;
    s.grid = m.grid() != CheckValue::Unchecked;
    s.autoClear = m.autoClear();
    return s;
}

QString AppContext::appTitle() {
    return QStringLiteral("kalmor");
}
