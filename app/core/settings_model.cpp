// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings_model.h"

QString TypeTag::text() const {
    if (index < 0) return QString();
    return (leadingBlank ? QStringLiteral(" ") : QString()) + QString::number(index);
}

QString moduleTypeName(int typeOption) {
    static const char* const kNames[4] = {"ADT", "ADQ", "AD8", "AD12"};
    return typeOption >= 0 && typeOption < 4 ? QString::fromLatin1(kNames[typeOption]) : QString();
}

QString modeCaption(int typeOption, int16_t inputMode) {
    return moduleTypeName(typeOption).left(4) + QStringLiteral(" M=") + QString::number(inputMode);
}

SettingsModel::SettingsModel(VarGlob& g, QObject* parent) : QObject(parent), g_(g) {}

ModuleKind SettingsModel::moduleKind() const {
    return moduleKindOf(g_.ModuleType) == ModuleKind::Converter12 ? ModuleKind::Converter12
                                                                  : ModuleKind::Converter8;
}

namespace {
// Stores value and says whether it differed.
template <typename T>
bool store(T& to, const T& value) {
    if (to == value) return false;
    to = value;
    return true;
}
}  // namespace

void SettingsModel::setModuleType(ModuleKind kind) {
    if (store(g_.ModuleType, static_cast<int16_t>(kind))) emit changed(SettingsGroup::Module);
}

void SettingsModel::setPortBase(int16_t base) {
    if (store(g_.PortBase, base)) emit changed(SettingsGroup::Module);
}

void SettingsModel::setModuleAddress(int16_t address) {
    if (store(g_.ModuleAddress, address)) emit changed(SettingsGroup::Module);
}

void SettingsModel::setInputMode(int16_t mode) {
    if (store(g_.InputMode, mode)) emit changed(SettingsGroup::Module);
}

void SettingsModel::setScale(float scaleFactor, const QString& units) {
    const bool scaleChanged = store(g_.ScaleFactor, scaleFactor);
    if (store(g_.UnitsText, units) || scaleChanged) emit changed(SettingsGroup::Module);
}

void SettingsModel::setTypeTag(TypeTag tag) {
    typeTag_ = tag;
    emit changed(SettingsGroup::TypeTag);
}

void SettingsModel::setModeCaption(const QString& caption) {
    modeCaption_ = caption;
    emit changed(SettingsGroup::ModeLabel);
}

void SettingsModel::setUnitsCaption(const QString& caption) {
    unitsCaption_ = caption;
    emit changed(SettingsGroup::UnitsCaption);
}

void SettingsModel::setSampling(int16_t requestedSamples, int16_t periodMs) {
    const bool samplesChanged = store(g_.RequestedSamples, requestedSamples);
    if (store(g_.PeriodMs, periodMs) || samplesChanged) emit changed(SettingsGroup::Sampling);
}

void SettingsModel::setDataFileName(const QString& name) {
    if (store(g_.DataFileName, name)) emit changed(SettingsGroup::DataFile);
}

void SettingsModel::setDataFileCaption(const QString& caption) {
    dataFileCaption_ = caption;
    emit changed(SettingsGroup::DataFileCaption);
}

void SettingsModel::setPlotLimits(float lower, float upper, int outputMaximum) {
    bool any = store(g_.PlotLower, lower);
    any = store(g_.PlotUpper, upper) || any;
    any = store(outputMaximum_, outputMaximum) || any;
    if (any) emit changed(SettingsGroup::PlotLimits);
}

void SettingsModel::setRecordingOptions(bool continuous, bool once, CheckValue save) {
    bool any = store(continuous_, continuous);
    any = store(once_, once) || any;
    any = store(save_, save) || any;
    if (any) emit changed(SettingsGroup::RecordingOptions);
}

void SettingsModel::setPlotOptions(CheckValue grid, CheckValue xyMode) {
    bool any = store(grid_, grid);
    any = store(xyMode_, xyMode) || any;
    if (any) emit changed(SettingsGroup::PlotOptions);
}

void SettingsModel::setAutoClear(bool on) {
    if (store(autoClear_, on)) emit changed(SettingsGroup::PlotOptions);
}

void SettingsModel::setAxes(int16_t x, int16_t y) {
    bool any = store(axisX_, x);
    any = store(axisY_, y) || any;
    if (any) emit changed(SettingsGroup::XYChannels);
}

void SettingsModel::setAxesAndChannels(int16_t x, int16_t y) {
    bool any = false;
    if (x != kNoOption) {
        any = store(axisX_, x) || any;
        any = store(g_.XYChannelX, x) || any;
    }
    if (y != kNoOption) {
        any = store(axisY_, y) || any;
        any = store(g_.XYChannelY, y) || any;
    }
    if (any) emit changed(SettingsGroup::XYChannels);
}

void SettingsModel::setXYModeShown(bool on) {
    if (store(xyModeShown_, on)) emit changed(SettingsGroup::PlotState);
}

void SettingsModel::setXYAdjusting(bool on) {
    if (store(xyAdjusting_, on)) emit changed(SettingsGroup::PlotState);
}

void SettingsModel::setColourTable(const ColourTable& table) {
    if (store(g_.Colores, table)) emit changed(SettingsGroup::ColourTable);
}

void SettingsModel::selectAxes(int16_t x, int16_t y) {
    setAxesAndChannels(x == axisX_ ? kNoOption : x, y == axisY_ ? kNoOption : y);
}

void SettingsModel::setLabelColours(const std::array<LabelColours, 5>& colours) {
    if (store(labelColours_, colours)) emit changed(SettingsGroup::Colours);
}

void SettingsModel::setVisible(const std::array<CheckValue, 5>& values) {
    if (store(visible_, values)) emit changed(SettingsGroup::VisibleChannels);
}

void SettingsModel::setVisible(int channel, CheckValue value) {
    auto values = visible_;
    values[size_t(channel)] = value;
    setVisible(values);
}

void SettingsModel::setChannelShown(int channel, bool shown) {
    const bool row = store(inputRowsShown_[size_t(channel)], shown);
    if (store(axisOptionsShown_[size_t(channel)], shown) || row) {
        emit changed(SettingsGroup::Channels);
    }
}

void SettingsModel::showInputRow(int channel) {
    if (store(inputRowsShown_[size_t(channel)], true)) emit changed(SettingsGroup::Channels);
}

void SettingsModel::setModePicture(int index) {
    modePicture_ = index;
    emit changed(SettingsGroup::ModePicture);
}

void SettingsModel::showOutputFrames() {
    outputFramesShown_ = true;
    emit changed(SettingsGroup::OutputFrames);
}

void SettingsModel::setTypeOption(int16_t option) {
    if (store(typeOption_, option)) emit changed(SettingsGroup::TypeOption);
}

void SettingsModel::setDrafts(const QString& scale, const QString& units) {
    const bool scaleChanged = store(scaleDraft_, scale);
    if (store(unitsDraft_, units) || scaleChanged) emit changed(SettingsGroup::Drafts);
}

void SettingsModel::setHighestAddress(int16_t address) {
    addressChoices_.clear();
    for (int a = 0; a <= address; ++a) addressChoices_ << QString::number(a);
    emit changed(SettingsGroup::AddressChoices);
}

void SettingsModel::offerAddress(const QString& item) {
    addressChoices_ << item;
    emit changed(SettingsGroup::AddressChoices);
}

void SettingsModel::setEightBitModesOffered(bool offered) {
    if (store(eightBitModesOffered_, offered)) emit changed(SettingsGroup::TypeOption);
}
