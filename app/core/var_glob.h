// SPDX-License-Identifier: GPL-3.0-or-later
// The program's shared state: every global once, with the width the program
// relies on (16-bit integers wrap and overflow as 16-bit, singles round as
// singles). Truth values are 16-bit: -1 true, 0 false.
#pragma once

#include <QString>

#include <array>
#include <cstdint>

#include "common/colour_rules.h"

constexpr int16_t kTrue = -1;
constexpr int16_t kFalse = 0;

struct VarGlob {
    // Module and configuration.
    int16_t ModuleType = 0;  // 0 = 8-bit converter, 2 = 12-bit converter
    int16_t PortBase = 0;    // 888 (378H), 632 (278H), 956 (3BCH)
    int16_t ModuleAddress = 0;
    int16_t InputMode = 0;
    float ScaleFactor = 1.0f;  // engineering units per volt
    QString UnitsText = "V";
    QString DataFileName = "DATOS.DAT";

    // Sampling and recording.
    int16_t Recording = kFalse;
    int16_t RequestedSamples = 50;
    int16_t SweepSamples = 100;
    int16_t PeriodMs = 100;
    int16_t SweepPeriodMs = 100;
    int16_t SampleCounter = 0;
    // Written by the sampling engine, which also keeps the sample buffer and
    // the last plotted point.
    float SweepStartTime = 0.0f;
    int16_t AnalogOutValue = 0;

    // Plot window.
    float PlotUpper = 2.5f;
    float PlotLower = 0.0f;
    float SavedPlotUpper = 0.0f;
    float SavedPlotLower = 0.0f;
    int16_t XYChannelX = 0;
    int16_t XYChannelY = 1;
    float XYPlotWidth = 0.0f;
    float LastPlotFormWidth = 0.0f;
    float LastPlotFormHeight = 0.0f;
    // Colores[i][1] colour of item i, Colores[i][2] its contrast colour;
    // items 0..3 inputs, 4 analog output, 5 plot area. Column 0 unused.
    // Written through the settings model, which announces the change.
    ColourTable Colores{};

    // Signal generator; tables are 1-based, entry 0 unused.
    std::array<int16_t, 301> WaveTable{};
    int16_t WaveLength = 0;
    int16_t WaveIndex = 0;
    int16_t WaveStepMs = 50;
    int16_t WavePeriodMinMs = 100;
    int16_t WavePeriodMaxMs = 15000;
    int16_t WaveOneShot = kFalse;
    float WaveStartTime = 0.0f;
    std::array<float, 301> DrawnSignal{};
    QString LineBreak = "\r\n";
};
