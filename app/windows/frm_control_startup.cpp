// SPDX-License-Identifier: GPL-3.0-or-later
// FRM_CONTROL's load handler: the program's start-up.
//
// The main window exists before its load runs. The start-up sets the
// defaults of the module, the sampling and the plot, then loads the plot
// window, hidden: the XY area starts as tall as its trace area. It reads the
// configuration file (the command line's, else Config.CFG); reading it loads
// the configuration dialog, hidden, when the file names a type on line 8 or
// is read whole, since the dialog holds the type option and the scale and
// units being edited. Otherwise the dialog is loaded afterwards, to take the
// type option from it. Loading the dialog runs ApplyConfiguration with its
// own boxes and brings InputMode back to 0.
//
// The units caption is set twice: once before the dialog is certain to be
// loaded, and once at the end, because loading the dialog applies its units
// box to the value labels; the labels end on the units in force.
#include <QCheckBox>
#include <QCoreApplication>
#include <QMessageBox>

#include <cmath>

#include "acquisition/analog_output.h"
#include "common/colors.h"
#include "common/prompts.h"
#include "config/apply_configuration.h"
#include "config/config_commands.h"
#include "config/config_file.h"
#include "core/colour_settings.h"
#include "core/session.h"
#include "core/settings_model.h"
#include "display/drawing_surface.h"
#include "windows/frm_control.h"
#include "windows/window_verbs.h"

namespace {
// The help document travels inside the program.
const char* const kHelpDocument = ":/help/ayuda.html";
}  // namespace

void FrmControl::load() {
    VarGlob& g = session_.g;
    SettingsModel& m = session_.settings();

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
    // The plot window loads, hidden; its load sizes the XY area.
    windows_.loadPlot();
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
    m.setPlotOptions(CheckValue::Checked, m.xyMode());
    // The configuration file: the command line's, else Config.CFG. A file
    // that cannot be read leaves what it did set, and start-up goes on.
    const QString name = session_.arguments().isEmpty() ? QStringLiteral("Config.CFG")
                                                        : session_.arguments().constFirst();
    if (!LoadConfiguration(name)) {
        prompts::message(this, QMessageBox::Warning, QStringLiteral(" Error al cargar"),
                         loadFailureText(name));
    }
    // Ranges by module type; a limit beyond the range of a single keeps the
    // one in force.
    const auto upper = upperPlotLimit(m.moduleKind(), g.ScaleFactor);
    m.setPlotLimits(0.0f, upper ? *upper : g.PlotUpper,
                    m.moduleKind() == ModuleKind::Converter12 ? 4095 : 255);
    m.setUnitsCaption(g.UnitsText);
    // The type chosen in the configuration dialog, which the file may have
    // loaded already; otherwise it loads now, hidden.
    windows_.loadConfiguration();
    const int tipo = m.typeOption();
    const int selectedType = tipo < 0 ? 4 : tipo;
    m.setTypeTag({static_cast<int16_t>(selectedType), true});
    // The item "0" joins the address list the dialog's load left.
    m.offerAddress(QStringLiteral("0"));
    // Plot area: samples across, values up; the strips follow its size.
    windows_.showPlotStartScale();
    // Generator preview: one table entry per unit across.
    pic_onda->setScale(1.0f, g.PlotUpper, 300.0f, g.PlotLower);
    // A known state on the 8-bit module's output; a 12-bit module's output
    // is left as it is.
    session_.analogOutput().resetEightBit();
    TMR_ANALOGICO->setInterval(g.SweepPeriodMs);
    // Once more: the dialog, loaded since, applies its own units box.
    m.setUnitsCaption(g.UnitsText);
    m.setModePicture(0);
    // Colours of the plot area and the preview.
    m.announce(SettingsGroup::PlotColours);
    pic_onda->setBackColor(g.Colores[5][1]);
    pic_onda->setForeColor(g.Colores[4][2]);
    // Real modules or the bench: always in sight.
    showBackend();
}

bool FrmControl::LoadConfiguration(const QString& name) {
    return ::LoadConfiguration(session_, name);
}

void FrmControl::ResetDefaultColours() {
    ::ResetDefaultColours(session_.settings());
}
