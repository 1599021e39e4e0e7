// SPDX-License-Identifier: GPL-3.0-or-later
// The working set-up the windows show and the configuration file keeps. The
// settings the program keeps as globals stay in VarGlob; the setters here
// write them and announce a change, while the configuration file writes some
// of them field by field and announces the group itself. What only the
// windows' controls used to hold (check boxes, option groups, label colours,
// the configuration dialog's type option, scale and units being edited and
// address list) lives here. Windows show the model and write their users'
// changes to it; none writes another window's controls.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>

#include "common/colour_rules.h"
#include "core/module_kind.h"
#include "core/var_glob.h"

// What a change touched; one notification per group that changed.
enum class SettingsGroup {
    Module,            // ModuleType, port, address, input mode, scale, units
    TypeTag,           // the type option, kept in LB_MODO's tag
    ModeLabel,         // LB_MODO's caption: type and input mode
    ModePicture,       // the input mode's picture
    UnitsCaption,      // the units the value labels show
    OutputFrames,      // the analog output and generator frames
    DataFile,          // DataFileName
    DataFileCaption,   // the data file name as shown
    Sampling,          // requested samples and period shown in their bars
    RecordingOptions,  // continuous or once, save to the data file
    PlotLimits,        // PlotUpper, PlotLower, the analog output's largest code
    PlotOptions,       // grid, XY mode
    XYChannels,        // the selected axis options and their channels
    Colours,           // value labels' colours
    PlotColours,       // the plot area's colours of the colour table
    ColourTable,       // the colour table (Colores)
    ColoursApplied,    // colours take effect: the trace area and the generator
                       // preview are cleared in the plot area's colours and the
                       // grid, when shown, is drawn again
    VisibleChannels,   // the five CHK_VIS values
    Channels,          // which inputs the module's mode offers
    TypeOption,        // the selected type option and the input modes it offers
    Drafts,            // the scale and units being edited in the dialog
    AddressChoices,    // the addresses the dialog's list offers
    ModuleRead,        // the configuration file's module line, read whole
    PlotState,         // the plot window's XY mode in force and its width adjustment
    ModuleSilent,      // taking the module set-up found no module on its port
};

// A check box's value as the file stores it: 0 unchecked, 1 checked, 2 greyed.
enum class CheckValue : int16_t { Unchecked = 0, Checked = 1, Greyed = 2 };

struct LabelColours {
    int32_t back = 0;
    int32_t fore = 0;
    bool operator==(const LabelColours&) const = default;
};

// The module type options of the configuration dialog, in order.
QString moduleTypeName(int typeOption);
// The kind a type option gives: AD12 (option 3) the 12-bit converter, every
// other option the 8-bit one.
constexpr int kAd12Option = 3;
constexpr ModuleKind typeOptionKind(int typeOption) {
    return typeOption == kAd12Option ? ModuleKind::Converter12 : ModuleKind::Converter8;
}
// LB_MODO's caption: the type option's name (none for -1) and the input mode.
QString modeCaption(int typeOption, int16_t inputMode);

// The selected option of a group that may have none selected.
constexpr int16_t kNoOption = 5;

// The module type option as LB_MODO's Tag carries it: an index 0 to 3, or 4
// when no option was selected; -1 before anything set it (an empty tag).
// The start-up writes it with a leading blank.
struct TypeTag {
    int16_t index = -1;
    bool leadingBlank = false;
    QString text() const;
    bool operator==(const TypeTag&) const = default;
};

// Ranges of the sampling scroll bars.
constexpr int16_t kSamplesMin = 50;
constexpr int16_t kSamplesMax = 10000;
constexpr int16_t kPeriodMin = 100;
constexpr int16_t kPeriodMax = 30000;

class SettingsModel : public QObject {
    Q_OBJECT
  public:
    explicit SettingsModel(VarGlob& g, QObject* parent = nullptr);

    VarGlob& globals() { return g_; }
    const VarGlob& globals() const { return g_; }
    // The module type as the plot limits and the output's range take it: 2
    // is the 12-bit converter, anything else the 8-bit one (Converter8).
    // ModuleType itself keeps what a file wrote until ApplyConfiguration
    // replaces it by 0 or 2; moduleKindOf tells every stored value apart.
    ModuleKind moduleKind() const;

    // Says that the globals of a group were written (the configuration file
    // writes them field by field); windows show them again.
    void announce(SettingsGroup group) { emit changed(group); }

    // Module group: the globals, and what the main window shows of them.
    // Captions are shown again whenever they are set, changed or not.
    void setModuleType(ModuleKind kind);
    void setPortBase(int16_t base);
    void setModuleAddress(int16_t address);
    void setInputMode(int16_t mode);
    void setScale(float scaleFactor, const QString& units);
    void setTypeTag(TypeTag tag);
    const TypeTag& typeTag() const { return typeTag_; }
    void setModeCaption(const QString& caption);
    const QString& modeCaption() const { return modeCaption_; }
    void setUnitsCaption(const QString& caption);
    const QString& unitsCaption() const { return unitsCaption_; }
    // The mode picture's index, -1 for none yet.
    void setModePicture(int index);
    int modePicture() const { return modePicture_; }
    // Once a type is chosen the output and generator frames are shown.
    void showOutputFrames();
    bool outputFramesShown() const { return outputFramesShown_; }

    // The requested samples and period, which the sampling bars show.
    void setSampling(int16_t requestedSamples, int16_t periodMs);

    // Data file: the name and the caption that shows it.
    void setDataFileName(const QString& name);
    void setDataFileCaption(const QString& caption);
    const QString& dataFileCaption() const { return dataFileCaption_; }

    // Plot limits and the analog output's largest code, set together.
    void setPlotLimits(float lower, float upper, int outputMaximum);
    int outputMaximum() const { return outputMaximum_; }

    // Recording options: the two options may both be unselected.
    void setRecordingOptions(bool continuous, bool once, CheckValue save);
    bool continuous() const { return continuous_; }
    bool once() const { return once_; }
    CheckValue save() const { return save_; }

    // Plot options.
    void setPlotOptions(CheckValue grid, CheckValue xyMode);
    CheckValue grid() const { return grid_; }
    CheckValue xyMode() const { return xyMode_; }
    // "AutoBorrado": a new sweep clears the trace area.
    void setAutoClear(bool on);
    bool autoClear() const { return autoClear_; }

    // XY axes: the selected option of each group, 0 to 4, or kNoOption.
    // Selecting an option does not move its channel; the configuration file
    // moves both (setAxesAndChannels, where kNoOption leaves a group as it is).
    void setAxes(int16_t x, int16_t y);
    void setAxesAndChannels(int16_t x, int16_t y);
    // The options as the configuration file selects them: an option that
    // becomes selected moves its channel, as its click does; selecting the
    // option already selected changes nothing. kNoOption leaves a group.
    void selectAxes(int16_t x, int16_t y);
    int16_t axisX() const { return axisX_; }
    int16_t axisY() const { return axisY_; }

    // The plot window's XY state as the main window follows it: while XY
    // mode is in force its channel boxes are disabled, and while the XY
    // width is being adjusted a recording cannot be started or stopped.
    void setXYModeShown(bool on);
    bool xyModeShown() const { return xyModeShown_; }
    void setXYAdjusting(bool on);
    bool xyAdjusting() const { return xyAdjusting_; }

    // The colour table is written here only, so that a change is announced.
    void setColourTable(const ColourTable& table);
    const ColourTable& colourTable() const { return g_.Colores; }

    void setLabelColours(const std::array<LabelColours, 5>& colours);
    const std::array<LabelColours, 5>& labelColours() const { return labelColours_; }

    void setVisible(const std::array<CheckValue, 5>& values);
    void setVisible(int channel, CheckValue value);
    const std::array<CheckValue, 5>& visible() const { return visible_; }

    // A channel shown or hidden on both windows; showInputRow shows only its
    // row of the main window.
    void setChannelShown(int channel, bool shown);
    void showInputRow(int channel);
    const std::array<bool, 5>& inputRowsShown() const { return inputRowsShown_; }
    const std::array<bool, 5>& axisOptionsShown() const { return axisOptionsShown_; }

    // The module set-up being edited (config/module_setup.h): the selected
    // type option (-1 for none), the scale and units being edited, the
    // addresses and input modes offered. Whether the draft was taken from the
    // globals since the configuration dialog last closed: whoever reads it
    // opens it first.
    void setModuleDraftOpen(bool open) { moduleDraftOpen_ = open; }
    bool moduleDraftOpen() const { return moduleDraftOpen_; }
    void setTypeOption(int16_t option);
    int16_t typeOption() const { return typeOption_; }
    void setDrafts(const QString& scale, const QString& units);
    const QString& scaleDraft() const { return scaleDraft_; }
    const QString& unitsDraft() const { return unitsDraft_; }
    // The address list: setHighestAddress fills it again with "0" up to
    // address; offerAddress adds one item at its end.
    void setHighestAddress(int16_t address);
    void offerAddress(const QString& item);
    const QStringList& addressChoices() const { return addressChoices_; }
    // Whether the 8-bit modes 1 and 2 are offered (said as TypeOption).
    void setEightBitModesOffered(bool offered);
    bool eightBitModesOffered() const { return eightBitModesOffered_; }

  signals:
    void changed(SettingsGroup group);

  private:
    VarGlob& g_;
    TypeTag typeTag_;
    QString modeCaption_;
    QString unitsCaption_;
    QString dataFileCaption_;
    int modePicture_ = -1;
    bool outputFramesShown_ = false;
    std::array<bool, 5> inputRowsShown_{true, true, true, true, true};
    std::array<bool, 5> axisOptionsShown_{true, true, true, true, true};
    int outputMaximum_ = 255;
    int16_t typeOption_ = -1;
    QString scaleDraft_;
    QString unitsDraft_;
    QStringList addressChoices_{"0", "1", "2", "3", "4", "5", "6", "7"};
    bool moduleDraftOpen_ = false;
    bool eightBitModesOffered_ = true;
    bool continuous_ = true;
    bool once_ = false;
    CheckValue save_ = CheckValue::Checked;
    CheckValue grid_ = CheckValue::Unchecked;
    CheckValue xyMode_ = CheckValue::Unchecked;
    bool autoClear_ = false;
    int16_t axisX_ = 0;
    int16_t axisY_ = 0;
    bool xyModeShown_ = false;
    bool xyAdjusting_ = false;
    std::array<LabelColours, 5> labelColours_{};
    std::array<CheckValue, 5> visible_{CheckValue::Checked, CheckValue::Checked,
                                       CheckValue::Checked, CheckValue::Checked,
                                       CheckValue::Checked};
};
