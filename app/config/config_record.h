// SPDX-License-Identifier: GPL-3.0-or-later
// The nine-line configuration file as a plain record: reading it is a pure
// function of the file's bytes, writing it one of the record. Applying a
// record to the program is the loader's job (config_file.*).
#pragma once

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>

#include "core/settings_model.h"

// The reading steps in the order the file is taken in. Step 6 reads no
// line: it puts the sampling settings of line 1 into their scroll bars.
enum class ConfigStep : int16_t {
    ModuleLine = 1,
    VisibleLine,
    LabelColourLine,
    OptionsLine,
    AxesLine,
    SamplingSettings,
    ColourTableLines,
    TypeLine,
    DataFileLine,
    Complete,
};

struct ConfigRecord {
    // Line 1: the module and sampling globals.
    int16_t ModuleType = 0;
    int16_t PeriodMs = 0;
    int16_t RequestedSamples = 0;
    int16_t PortBase = 0;
    int16_t ModuleAddress = 0;
    int16_t InputMode = 0;
    float ScaleFactor = 0.0f;
    QString UnitsText;
    // Line 2: CHK_VIS 0 to 4.
    std::array<CheckValue, 5> visible{};
    // Line 3: Lbl_Vis 0 to 4.
    std::array<LabelColours, 5> labelColours{};
    // Line 4: Option1, OPT_Una, CHK_Guardar, CHK_REJILLA, CHK_MODO.
    bool continuous = false;
    bool once = false;
    CheckValue save = CheckValue::Unchecked;
    CheckValue grid = CheckValue::Unchecked;
    CheckValue xyMode = CheckValue::Unchecked;
    // Line 5: selected opt_x and opt_y, kNoOption for none.
    int16_t axisX = kNoOption;
    int16_t axisY = kNoOption;
    // Lines 6 and 7: Colores, same shape (column 0 unused).
    std::array<std::array<int32_t, 3>, 6> Colores{};
    // Line 8: the first OPT_TIPO whose flag is not 0; -1 for none.
    int16_t typeOption = -1;
    // Line 9: empty keeps the data file name in force.
    QString DataFileName;

    // The first step that failed, Complete when the whole file was read, and
    // how many of that step's items (fields, check boxes, label pairs, bars)
    // were good before it failed: those are applied, since the file is read
    // item by item straight into the globals and settings.
    ConfigStep stoppedAt = ConfigStep::Complete;
    int itemsRead = 0;

    bool complete() const { return stoppedAt == ConfigStep::Complete; }
    bool operator==(const ConfigRecord&) const = default;
};

// Reads a file's bytes; never fails as a call: a damaged file gives the step
// it stops at.
ConfigRecord parseConfiguration(const QByteArray& bytes);

// The file's text, nine lines ended by CR LF, in Windows-1252: a character
// the code page cannot hold is written as "?".
QByteArray formatConfiguration(const ConfigRecord& record);
