// What the sampling engine draws, on the plot window: the trace itself goes
// through the window's TracePlotter, in the colours of the colour table.
#pragma once

#include "core/trace_sink.h"

class AppContext;

class PlotTraceSink : public TraceSink {
  public:
    explicit PlotTraceSink(AppContext& ctx) : ctx_(ctx) {}

    void prepare() override;
    void show() override;
    void setTimeScale(int samples) override;
    void clearArea() override;
    void drawGrid() override;
    void drawGraduations() override;
    void segment(int row, float x1, float y1, float x2, float y2) override;
    void xyLine(float x1, float y1, float x2, float y2) override;

  private:
    AppContext& ctx_;
};
