// SPDX-License-Identifier: GPL-3.0-or-later
// The start-up order. The main window exists before it runs. The settings
// start from VarGlob's initialisers; the main window sets its bars' ranges
// and stops its timers, then the plot window loads, hidden: the XY area
// starts as tall as its trace area. The configuration file is read (the
// command line's, else Config.CFG); a file read whole, or one naming a type
// on line 8, takes the module set-up being edited from what it read, and
// the type's click brings InputMode back to 0. The configuration dialog then
// loads, hidden: it takes the set-up still to be taken and checks the module
// on its port.
//
// The units caption is set twice: once after the file, and once at the end,
// because taking the set-up applies the units being edited to the value
// labels; the labels end on the units in force.
#include "startup/startup.h"

#include <QMessageBox>

#include "acquisition/analog_output.h"
#include "common/prompts.h"
#include "config/apply_configuration.h"
#include "config/config_commands.h"
#include "config/config_file.h"
#include "config/module_setup.h"
#include "core/colour_settings.h"
#include "core/session.h"
#include "core/settings_model.h"
#include "windows/frm_control.h"
#include "windows/window_set.h"

void InstallStartup(Session& session, WindowSet& windows) {
    windows.setStartup(
        [&session, &windows](FrmControl& main) { RunStartup(session, windows, main); });
}

void RunStartup(Session& session, WindowVerbs& windows, FrmControl& main) {
    VarGlob& g = session.g;
    SettingsModel& m = session.settings();

    main.load();
    // The plot window loads, hidden; its load sizes the XY area.
    windows.loadPlot();
    ResetDefaultColours(m);
    m.setPlotOptions(CheckValue::Checked, m.xyMode());
    // The configuration file: the command line's, else Config.CFG. A file
    // that cannot be read leaves what it did set, and start-up goes on.
    const QString name = session.arguments().isEmpty() ? QStringLiteral("Config.CFG")
                                                       : session.arguments().constFirst();
    if (!LoadConfiguration(session, name)) {
        prompts::message(&main, QMessageBox::Warning, QStringLiteral(" Error al cargar"),
                         loadFailureText(name));
    }
    // Ranges by module type; a limit beyond the range of a single keeps the
    // one in force.
    const auto upper = upperPlotLimit(m.moduleKind(), g.ScaleFactor);
    m.setPlotLimits(0.0f, upper ? *upper : g.PlotUpper,
                    m.moduleKind() == ModuleKind::Converter12 ? 4095 : 255);
    m.setUnitsCaption(g.UnitsText);
    // The configuration dialog loads, hidden, taking the module set-up when
    // the file did not.
    windows.loadConfiguration();
    const int tipo = m.typeOption();
    const int selectedType = tipo < 0 ? 4 : tipo;
    m.setTypeTag({static_cast<int16_t>(selectedType), true});
    // The item "0" joins the address list the set-up left.
    m.offerAddress(QStringLiteral("0"));
    // Plot area: samples across, values up; the strips follow its size.
    windows.showPlotStartScale();
    // A known state on the 8-bit module's output; a 12-bit module's output
    // is left as it is.
    session.analogOutput().resetEightBit();
    session.samplingTimer()->setInterval(g.SweepPeriodMs);
    // Once more: taking the set-up applied the units being edited.
    m.setUnitsCaption(g.UnitsText);
    m.setModePicture(0);
    // Colours of the plot area, then the generator preview filled.
    m.announce(SettingsGroup::PlotColours);
    main.showStartPreview();
}
