// FRM_CONTROL's load handler: the program's start-up sequence.
//
// The design's 27 steps run in its order. Which step creates which window:
// - FRM_CONTROL exists before step 1: this is its load handler, run by the
//   context's accessor once the window is built.
// - FRM_REGISTRO (plot window) is created, hidden, at step 5 (the XY width
//   reads its plot area); step 11, "load the plot window", finds it loaded.
// - FRM_CONFIGURACION (configuration dialog) is created, hidden, by the
//   first code that touches it: during step 15 when the configuration file
//   names a type on line 8 or is read whole (ApplyConfiguration reads the
//   dialog's boxes); otherwise at step 18, which reads its type options. Its
//   load runs ApplyConfiguration with its own boxes and resets InputMode.
// Why a step runs twice: step 17 puts UnitsText on the unit labels before
// the dialog is certain to exist; loading the dialog (step 18, or step 24,
// "load the dialog", which then finds it loaded) applies the dialog's units
// box to the labels, so step 25 puts UnitsText on them once more and they
// end on the units in force.
#include <QCheckBox>
#include <QCoreApplication>
#include <QMessageBox>

#include <cmath>

#include "acquisition/analog_output.h"
#include "acquisition/frm_control.h"
#include "acquisition/recorder.h"
#include "common/colors.h"
#include "common/prompts.h"
#include "common/twips.h"
#include "config/config_file.h"
#include "config/frm_configuracion.h"
#include "core/app_context.h"
#include "core/settings_model.h"
#include "display/drawing_surface.h"
#include "display/frm_registro.h"
#include "display/trace_plotter.h"

namespace {
// The help document travels inside the program.
const char* const kHelpDocument = ":/help/ayuda.html";

// Upper plot limit for the module type, computed wide and kept as a single.
float upperLimit(const VarGlob& g) {
    const double full = g.ModuleType == 2 ? 4.095 : 2.5;
    return static_cast<float>(static_cast<double>(g.ScaleFactor) * full);
}
}  // namespace

void FrmControl::load() {
    VarGlob& g = ctx_.g;

    // The help document is a resource of the program's core library, which a
    // static link would drop unless something asks for it by name.
    Q_INIT_RESOURCE(kalmor);
    helpFile_ = QString::fromLatin1(kHelpDocument);
    // Defaults of the module, the sampling and the plot range.
    g.ModuleType = 0;
    g.ModuleAddress = 0;
    g.PeriodMs = 100;
    g.RequestedSamples = 100;
    g.SweepPeriodMs = 100;
    g.SweepSamples = 100;
    g.ScaleFactor = 1.0f;
    g.UnitsText = QStringLiteral("V");
    g.PlotUpper = 2.5f;
    g.PlotLower = 0.0f;
    // Nothing to play yet.
    Chk_onda->setEnabled(false);
    g.XYChannelX = 0;
    g.XYChannelY = 1;
    // Touching the plot window creates it, hidden; the XY area starts square.
    FrmRegistro* registro = ctx_.frmRegistro();
    const DrawingSurface* trazado = registro->PIC_TRAZADO;
    // The running sweep starts over, timed from now; the engine's restart
    // blanks the count and the measured period.
    connect(registro->tracePlotter, &TracePlotter::cleared, &ctx_.recorder(),
            &Recorder::restartSweep);
    g.XYPlotWidth = static_cast<float>(pixelsToTwipsY(trazado->height()));
    g.LineBreak = QStringLiteral("\r\n");
    // Waveform timing: 300 table entries, one every step.
    g.WaveStepMs = 50;
    g.WavePeriodMinMs = 100;
    g.WavePeriodMaxMs = static_cast<int16_t>(300 * g.WaveStepMs);
    // Ranges of the sampling settings; the bars' change handlers echo the
    // values into the text boxes.
    Hsr_muestras->setMinimum(50);
    Hsr_muestras->setMaximum(10000);
    Hsr_muestras->setValue(50);
    g.RequestedSamples = 50;
    Hsr_Periodo->setMinimum(100);
    Hsr_Periodo->setMaximum(30000);
    Hsr_Periodo->setValue(100);
    g.PeriodMs = 100;
    TMR_ANALOGICO->stop();
    Tmr_onda->stop();
    Tmr_onda->setInterval(g.WaveStepMs);
    ResetDefaultColours();
    g.DataFileName = QStringLiteral("DATOS.DAT");
    SettingsModel& m = ctx_.settings();
    m.setPlotOptions(CheckValue::Checked, m.xyMode());
    // The configuration file: the command line's, else Config.CFG. A file
    // that cannot be read leaves what it did set, and start-up goes on.
    const QString name =
        ctx_.arguments().isEmpty() ? QStringLiteral("Config.CFG") : ctx_.arguments().constFirst();
    if (!LoadConfiguration(name)) {
        prompts::message(this, QMessageBox::Warning, QStringLiteral(" Error al cargar"),
                         QStringLiteral(" Error al cargar el fichero de configuración: ") + name +
                             QStringLiteral(" Es posible que la aplicación no funcione "
                                            "correctamente."));
    }
    // Ranges by module type; a limit beyond the range of a single keeps the
    // one in force.
    const float upper = upperLimit(g);
    m.setPlotLimits(0.0f, std::isfinite(upper) ? upper : g.PlotUpper,
                    m.moduleKind() == ModuleKind::Converter12 ? 4095 : 255);
    m.setUnitsCaption(g.UnitsText);
    // The type chosen in the configuration dialog, which the file may have
    // created already; otherwise touching it creates it, hidden.
    FrmConfiguracion* configuracion = ctx_.frmConfiguracion();
    const int tipo = configuracion->selectedTipo();
    const int selectedType = tipo < 0 ? 4 : tipo;
    m.setTypeTag({static_cast<int16_t>(selectedType), true});
    configuracion->offerFirstAddressOnly();
    // Plot area: samples across, values up; the strips follow its size.
    registro->showStartScale();
    // Generator preview: one table entry per unit across.
    pic_onda->setScale(1.0f, g.PlotUpper, 300.0f, g.PlotLower);
    // A known state on the 8-bit module's output; a 12-bit module's output
    // is left as it is.
    ctx_.analogOutput().resetEightBit();
    TMR_ANALOGICO->setInterval(g.SweepPeriodMs);
    // Once more: the dialog, loaded since, applies its own units box.
    m.setUnitsCaption(g.UnitsText);
    m.setModePicture(0);
    // Colours of the plot area and the preview.
    m.announce(SettingsGroup::PlotColours);
    pic_onda->setBackColor(g.Colores[5][1]);
    pic_onda->setForeColor(g.Colores[4][2]);
}

bool FrmControl::LoadConfiguration(const QString& name) {
    return ::LoadConfiguration(ctx_, name);
}

void FrmControl::ResetDefaultColours() {
    constexpr int32_t kWhite = 0xFFFFFF;
    constexpr int32_t kBlack = 0;
    // Red + 256 * green + 65536 * blue; each contrast colour keeps the value
    // label readable on its background.
    constexpr std::array<std::array<int32_t, 2>, 6> kDefaults = {{
        {0xFF0000, kWhite},  // E0 blue
        {0x00FF00, kBlack},  // E1 green
        {0x0000FF, kWhite},  // E2 red
        {0xFFFF00, kBlack},  // E3 cyan
        {0xFF00FF, kWhite},  // SA magenta
        {kWhite, kBlack},    // plot area
    }};
    VarGlob& g = ctx_.g;
    for (size_t i = 0; i < kDefaults.size(); ++i) {
        g.Colores[i][1] = kDefaults[i][0];
        g.Colores[i][2] = kDefaults[i][1];
    }
    std::array<LabelColours, 5> labels{};
    for (size_t i = 0; i < labels.size(); ++i) labels[i] = {g.Colores[i][1], g.Colores[i][2]};
    SettingsModel& m = ctx_.settings();
    m.setLabelColours(labels);
    m.announce(SettingsGroup::PlotColours);
}
