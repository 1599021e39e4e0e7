// SPDX-License-Identifier: GPL-3.0-or-later
// What the sampling engine draws, on the plot window: the trace goes through
// the window's TracePlotter, in the colours of the colour table. The plot
// window makes it and hands it to the engine.
#pragma once

#include "core/trace_sink.h"

class FrmRegistro;
class Session;

class PlotTraceSink : public TraceSink {
  public:
    PlotTraceSink(Session& session, FrmRegistro& window) : session_(session), window_(window) {}

    void prepare() override;
    void show() override;
    void setTimeScale(int samples) override;
    void clearArea() override;
    void drawGrid() override;
    void drawGraduations() override;
    void segment(int row, float x1, float y1, float x2, float y2) override;
    void xyLine(float x1, float y1, float x2, float y2) override;

  private:
    Session& session_;
    FrmRegistro& window_;
};
