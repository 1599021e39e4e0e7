// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/plot_trace_sink.h"

#include "core/session.h"
#include "core/settings_model.h"
#include "display/drawing_surface.h"
#include "display/graduations.h"
#include "display/grid.h"
#include "display/trace_plotter.h"
#include "windows/frm_registro.h"

void PlotTraceSink::prepare() {
    DrawingSurface* trace = window_.PIC_TRAZADO;
    trace->cls();
    trace->setBackColor(session_.g.Colores[5][1]);
    trace->setForeColor(session_.g.Colores[5][2]);
}

void PlotTraceSink::show() {
    window_.show();
}

void PlotTraceSink::setTimeScale(int samples) {
    const VarGlob& g = session_.g;
    window_.PIC_TRAZADO->setScale(0.0f, g.PlotUpper, static_cast<float>(samples), g.PlotLower);
}

void PlotTraceSink::clearArea() {
    window_.PIC_TRAZADO->cls();
}

void PlotTraceSink::drawGrid() {
    DrawGrid(window_.PIC_TRAZADO, plotScale(session_.settings()), session_.g.Colores[5][2]);
}

void PlotTraceSink::drawGraduations() {
    DrawGraduations(window_.surfaces(), plotScale(session_.settings()));
}

void PlotTraceSink::segment(int row, float x1, float y1, float x2, float y2) {
    if (row < 0 || row > 4) return;
    window_.tracePlotter->segment(x1, y1, x2, y2, session_.g.Colores[static_cast<size_t>(row)][1]);
}

void PlotTraceSink::xyLine(float x1, float y1, float x2, float y2) {
    window_.tracePlotter->segment(x1, y1, x2, y2, session_.g.Colores[4][1]);
}
