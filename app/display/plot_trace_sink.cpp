#include "display/plot_trace_sink.h"

#include "core/app_context.h"
#include "display/drawing_surface.h"
#include "display/frm_registro.h"
#include "display/graduations.h"
#include "display/grid.h"
#include "display/trace_plotter.h"

// The plot window is created on first use; a recording always finds it.

void PlotTraceSink::prepare() {
    DrawingSurface* trace = ctx_.frmRegistro()->PIC_TRAZADO;
    trace->cls();
    trace->setBackColor(ctx_.g.Colores[5][1]);
    trace->setForeColor(ctx_.g.Colores[5][2]);
}

void PlotTraceSink::show() {
    ctx_.frmRegistro()->show();
}

void PlotTraceSink::setTimeScale(int samples) {
    const VarGlob& g = ctx_.g;
    ctx_.frmRegistro()->PIC_TRAZADO->setScale(0.0f, g.PlotUpper, static_cast<float>(samples),
                                              g.PlotLower);
}

void PlotTraceSink::clearArea() {
    ctx_.frmRegistro()->PIC_TRAZADO->cls();
}

void PlotTraceSink::drawGrid() {
    DrawGrid(ctx_, ctx_.g.Colores[5][2], ctx_.frmRegistro());
}

void PlotTraceSink::drawGraduations() {
    DrawGraduations(ctx_, ctx_.frmRegistro());
}

void PlotTraceSink::segment(int row, float x1, float y1, float x2, float y2) {
    if (row < 0 || row > 4) return;
    ctx_.frmRegistro()->tracePlotter->segment(x1, y1, x2, y2,
                                              ctx_.g.Colores[static_cast<size_t>(row)][1]);
}

void PlotTraceSink::xyLine(float x1, float y1, float x2, float y2) {
    ctx_.frmRegistro()->tracePlotter->segment(x1, y1, x2, y2, ctx_.g.Colores[4][1]);
}
