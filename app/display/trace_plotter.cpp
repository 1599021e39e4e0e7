// The drawing operations on a window's trace area and strips.
#include "display/trace_plotter.h"

#include <QTime>

#include "core/app_context.h"
#include "core/settings_model.h"
#include "display/drawing_surface.h"
#include "display/frm_registro.h"
#include "display/graduations.h"
#include "display/grid.h"

namespace {

DrawingSurface* surface(QWidget* window, const char* name) {
    return window ? window->findChild<DrawingSurface*>(QLatin1String(name)) : nullptr;
}

void printAll(DrawingSurface* s, const std::vector<PlacedText>& labels) {
    for (const PlacedText& l : labels) {
        s->currentX = l.x;
        s->currentY = l.y;
        s->print(l.text);
    }
}

bool xyMode(AppContext& ctx) {
    return ctx.settings().xyMode() != CheckValue::Unchecked;
}

void drawGrid(DrawingSurface* t, const VarGlob& g, bool xy, int32_t colour) {
    t->setDotted(true);
    t->setAutoRedraw(true);
    const std::vector<GridLine> lines =
        xy ? xyGridLines(g.PlotLower, g.PlotUpper)
           : timeGridLines(g.PlotLower, g.PlotUpper, t->scaleWidth());
    for (const GridLine& l : lines) t->line(l.x1, l.y1, l.x2, l.y2, colour);
    t->setDotted(false);
}

}  // namespace

void DrawGraduations(AppContext& ctx, QWidget* window) {
    DrawingSurface* t = surface(window, "PIC_TRAZADO");
    DrawingSurface* x = surface(window, "PIC_GRADUACION_X");
    DrawingSurface* y = surface(window, "PIC_GRADUACION_Y");
    if (!t || !x || !y) return;
    const VarGlob& g = ctx.g;
    const float traceWidth = t->scaleWidth();

    // The X strip takes the trace area's whole size; its container cuts off
    // what lies below.
    x->resize(t->width(), x->height());
    x->cls();
    x->resize(x->width(), t->height());
    y->cls();

    y->setScale(t->scaleLeft(), t->scaleTop(), t->scaleLeft() + t->scaleWidth(),
                t->scaleTop() + t->scaleHeight());
    x->setScaleLeft(t->scaleLeft());
    x->setScaleWidth(t->scaleWidth());

    const float hh = std::abs(y->textHeight(QStringLiteral("H"))) / 2.0f;
    const auto yWidth = [y](const QString& s) { return y->textWidth(s); };
    const auto xWidth = [x](const QString& s) { return x->textWidth(s); };
    printAll(y, valueAxisLabels(g.PlotLower, g.PlotUpper, g.UnitsText,
                                y->scaleLeft() + y->scaleWidth(), hh, yWidth));

    if (!xyMode(ctx)) {
        // The X strip's vertical unit stays the twip.
        printAll(x, timeAxisLabels(traceWidth, g.PeriodMs, x->scaleTop() + 10.0f, xWidth));
    } else {
        printAll(x, xyAxisLabels(g.PlotLower, g.PlotUpper, g.UnitsText, x->scaleTop(), xWidth));
    }
}

void DrawGrid(AppContext& ctx, int32_t colour) {
    DrawGrid(ctx, colour, ctx.frmRegistro());
}

void DrawGrid(AppContext& ctx, int32_t colour, QWidget* window) {
    DrawingSurface* t = surface(window, "PIC_TRAZADO");
    if (!t) return;
    drawGrid(t, ctx.g, xyMode(ctx), colour);
}

TracePlotter::TracePlotter(VarGlob& g, DrawingSurface* trace, QObject* parent)
    : QObject(parent), g_(g), trace_(trace) {}

void TracePlotter::segment(float x1, float y1, float x2, float y2, int32_t colour) {
    trace_->line(x1, y1, x2, y2, colour);
}

void TracePlotter::clear(bool gridShown, bool xyMode) {
    trace_->cls();
    if (gridShown) drawGrid(trace_, g_, xyMode, g_.Colores[5][2]);
    g_.SampleCounter = 0;
    emit cleared();
    g_.SweepStartTime = static_cast<float>(QTime::currentTime().msecsSinceStartOfDay() / 1000.0);
}
