// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/config_file.h"

#include <QFile>

#include <algorithm>
#include <array>
#include <utility>

#include "common/atomic_file.h"
#include "config/apply_configuration.h"
#include "config/config_file_format.h"
#include "config/config_record.h"
#include "config/module_setup.h"
#include "core/session.h"
#include "core/settings_model.h"

namespace {

// A configuration file is a few hundred bytes; more than this is not one.
constexpr qint64 kMaxFileBytes = 1 << 20;

// Applies a parsed file step by step. A step the file stopped at applies
// the items read before the failure and ends the reading: the file is read
// straight into the globals and the settings, item by item.
class Applier {
  public:
    Applier(Session& session, const ConfigRecord& r)
        : session_(session), m_(session.settings()), r_(r) {}

    bool run() {
        return moduleLine() && visibleLine() && labelColourLine() && optionsLine() && axesLine() &&
               samplingSettings() && colourTableLines() && typeLine() && dataFileLine() &&
               applySetUp();
    }

  private:
    // Items of step s that hold good: all of them for a step the file got
    // past, those read before the failure for the step it stopped at.
    int items(ConfigStep s, int all) const {
        if (r_.stoppedAt > s) return all;
        return r_.stoppedAt == s ? r_.itemsRead : 0;
    }
    bool passed(ConfigStep s) const { return r_.stoppedAt > s; }

    // Line 1: the eight globals, field by field.
    bool moduleLine() {
        const int n = items(ConfigStep::ModuleLine, 8);
        VarGlob& g = session_.g;
        const std::array<std::pair<int16_t*, int16_t>, 6> whole{
            {{&g.ModuleType, r_.ModuleType},
             {&g.PeriodMs, r_.PeriodMs},
             {&g.RequestedSamples, r_.RequestedSamples},
             {&g.PortBase, r_.PortBase},
             {&g.ModuleAddress, r_.ModuleAddress},
             {&g.InputMode, r_.InputMode}}};
        for (int i = 0; i < std::min(n, 6); ++i) *whole[size_t(i)].first = whole[size_t(i)].second;
        if (n >= 7) g.ScaleFactor = r_.ScaleFactor;
        if (n >= 8) g.UnitsText = r_.UnitsText;
        if (n > 0) m_.announce(SettingsGroup::Module);
        if (n == 8) {
            // A set-up being edited takes the file's scale and units, and a
            // configuration dialog already loaded the whole line again.
            if (m_.moduleDraftOpen()) {
                m_.setDrafts(config_format::realField(g.ScaleFactor), g.UnitsText);
            }
            m_.announce(SettingsGroup::ModuleRead);
        }
        return passed(ConfigStep::ModuleLine);
    }

    // Line 2: the five CHK_VIS values.
    bool visibleLine() {
        auto values = m_.visible();
        const int n = items(ConfigStep::VisibleLine, 5);
        for (int i = 0; i < n; ++i) values[size_t(i)] = r_.visible[size_t(i)];
        m_.setVisible(values);
        return passed(ConfigStep::VisibleLine);
    }

    // Line 3: the value labels' colours.
    bool labelColourLine() {
        auto colours = m_.labelColours();
        const int n = items(ConfigStep::LabelColourLine, 5);
        for (int i = 0; i < n; ++i) colours[size_t(i)] = r_.labelColours[size_t(i)];
        m_.setLabelColours(colours);
        return passed(ConfigStep::LabelColourLine);
    }

    // Line 4: the two options, then the three check boxes.
    bool optionsLine() {
        const int n = items(ConfigStep::OptionsLine, 5);
        if (n >= 2) m_.setRecordingOptions(r_.continuous, r_.once, n >= 3 ? r_.save : m_.save());
        if (n >= 4) m_.setPlotOptions(r_.grid, n >= 5 ? r_.xyMode : m_.xyMode());
        return passed(ConfigStep::OptionsLine);
    }

    // Line 5: the XY axes; an option that becomes selected also moves its channel.
    bool axesLine() {
        const int n = items(ConfigStep::AxesLine, 2);
        if (n >= 1) m_.selectAxes(r_.axisX, n >= 2 ? r_.axisY : kNoOption);
        return passed(ConfigStep::AxesLine);
    }

    // The sampling settings of line 1: the sweep copies, then the scroll bars.
    bool samplingSettings() {
        VarGlob& g = session_.g;
        // A running recording sized its sample buffer for its own sweep;
        // the next start takes these, as every start does.
        if (g.Recording == kFalse) {
            g.SweepPeriodMs = g.PeriodMs;
            g.SweepSamples = g.RequestedSamples;
        }
        if (items(ConfigStep::SamplingSettings, 3) >= 2) m_.announce(SettingsGroup::Sampling);
        return passed(ConfigStep::SamplingSettings);
    }

    // Lines 6 and 7: the colour table, field by field as far as the file held good.
    bool colourTableLines() {
        const int n = items(ConfigStep::ColourTableLines, 12);
        ColourTable table = m_.colourTable();
        for (int i = 0; i < n; ++i) {
            const size_t row = size_t(i % 6);
            const size_t column = size_t(1 + i / 6);
            table[row][column] = r_.Colores[row][column];
        }
        m_.setColourTable(table);
        return passed(ConfigStep::ColourTableLines);
    }

    // Line 8: the type option.
    bool typeLine() {
        if (!passed(ConfigStep::TypeLine)) return false;
        if (r_.typeOption < 0) return true;
        // The set-up being edited is taken first when it is not yet; taking it
        // and the type's click (which runs when the option changes) both
        // bring InputMode back to 0.
        OpenModuleDraft(session_);
        SelectModuleType(session_, r_.typeOption);
        m_.setTypeTag({r_.typeOption, false});
        m_.setModeCaption(modeCaption(r_.typeOption, session_.g.InputMode));
        return true;
    }

    // The whole file read: the set-up it gives is applied.
    bool applySetUp() {
        OpenModuleDraft(session_);
        return ApplyConfiguration(session_);
    }

    // Line 9: the data file name.
    bool dataFileLine() {
        if (!passed(ConfigStep::DataFileLine)) return false;
        if (!r_.DataFileName.isEmpty()) m_.setDataFileName(r_.DataFileName);
        return true;
    }

    Session& session_;
    SettingsModel& m_;
    const ConfigRecord& r_;
};

// The present state as the file keeps it.
ConfigRecord currentRecord(Session& session) {
    SettingsModel& m = session.settings();
    const VarGlob& g = session.g;
    ConfigRecord r;
    r.ModuleType = g.ModuleType;
    r.PeriodMs = g.PeriodMs;
    r.RequestedSamples = g.RequestedSamples;
    r.PortBase = g.PortBase;
    r.ModuleAddress = g.ModuleAddress;
    r.InputMode = g.InputMode;
    r.ScaleFactor = g.ScaleFactor;
    r.UnitsText = g.UnitsText;
    r.visible = m.visible();
    r.labelColours = m.labelColours();
    r.continuous = m.continuous();
    r.once = m.once();
    r.save = m.save();
    r.grid = m.grid();
    r.xyMode = m.xyMode();
    r.axisX = m.axisX();
    r.axisY = m.axisY();
    r.Colores = g.Colores;
    // The selected type option is the set-up's being edited.
    OpenModuleDraft(session);
    r.typeOption = m.typeOption();
    r.DataFileName = g.DataFileName;
    return r;
}

}  // namespace

bool LoadConfiguration(Session& session, const QString& name) {
    QFile file(name);
    if (!file.exists()) {
        session.g.PortBase = 888;
        return false;
    }
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QByteArray bytes = file.read(kMaxFileBytes);
    file.close();
    const ConfigRecord record = parseConfiguration(bytes);
    return Applier(session, record).run();
}

bool SaveConfiguration(Session& session, const QString& name, QString* error) {
    // Put in the file's place only when complete: a failed save leaves the
    // previous configuration whole.
    const WriteOutcome outcome =
        writeFileAtomically(name, formatConfiguration(currentRecord(session)));
    if (!outcome.written && error) *error = outcome.reason;
    return outcome.written;
}
