// SPDX-License-Identifier: GPL-3.0-or-later
// What the sampling engine draws, without knowing the plot window: the plot
// window makes an implementation and hands it to the engine. Colours and the
// plot's value range are the implementation's to pick from the settings.
#pragma once

class TraceSink {
  public:
    virtual ~TraceSink() = default;
    // Clears the trace area and gives it and the generator preview the
    // plot's colours, before a recording.
    virtual void prepare() = 0;
    virtual void show() = 0;
    // Time mode: samples 0 to `samples` across, the plot's range up.
    virtual void setTimeScale(int samples) = 0;
    // Clears the trace area alone: the sweep count is the engine's.
    virtual void clearArea() = 0;
    virtual void drawGrid() = 0;
    virtual void drawGraduations() = 0;
    // One segment of row 0..4 against the sample index.
    virtual void segment(int row, float x1, float y1, float x2, float y2) = 0;
    // One step of the XY trace.
    virtual void xyLine(float x1, float y1, float x2, float y2) = 0;
};
