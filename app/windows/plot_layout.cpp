// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/plot_layout.h"

#include <QCheckBox>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "common/numbers.h"
#include "core/session.h"
#include "core/settings_model.h"
#include "display/drawing_surface.h"
#include "display/graduations.h"
#include "display/grid.h"
#include "widgets/twips.h"
#include "windows/frm_registro.h"

namespace {

// The layout constants count the window with its frame: the designed client
// area of 8670 x 5160 twips sat in a form of 8892 x 5622.
constexpr double kFrameWidthTwips = 222.0;
constexpr double kFrameHeightTwips = 462.0;

int formTwips(double clientTwips, double frame) {
    // Beyond 16 bits the layout stays at its largest size; the rest of the
    // window is left empty.
    const auto r = Round16(std::min(clientTwips + frame, 32767.0));
    return r ? *r : 0;
}

int px(int twips, bool horizontal) {
    return std::max(0, horizontal ? twipsToPixelsX(twips) : twipsToPixelsY(twips));
}

}  // namespace

int plotFormWidthTwips(const FrmRegistro* window) {
    return formTwips(pixelsToTwipsX(window->width()), kFrameWidthTwips);
}

int plotFormHeightTwips(const FrmRegistro* window) {
    return formTwips(pixelsToTwipsY(window->height()), kFrameHeightTwips);
}

int plotClientWidthPx(double formWidthTwips) {
    return std::max(1, twipsToPixelsX(formWidthTwips - kFrameWidthTwips));
}

int plotClientHeightPx(double formHeightTwips) {
    return std::max(1, twipsToPixelsY(formHeightTwips - kFrameHeightTwips));
}

void LayoutPlotWindow(Session& session, FrmRegistro* window) {
    if (!window) return;
    VarGlob& g = session.g;
    const SettingsModel& m = session.settings();
    const int w = plotFormWidthTwips(window);
    const int h = plotFormHeightTwips(window);
    const bool maximized = window->isMaximized();
    window->CHK_MODO->setEnabled(!maximized);
    if (w < 500 || h < 500) return;

    if (m.xyMode() == CheckValue::Checked && g.LastPlotFormWidth != 0.0f) {
        // XY mode holds the window at its last laid-out size; each change
        // comes back here through the resize event.
        if (maximized) {
            window->showNormal();
        } else if (w != g.LastPlotFormWidth) {
            window->resize(plotClientWidthPx(g.LastPlotFormWidth), window->height());
        } else if (h != g.LastPlotFormHeight) {
            window->resize(window->width(), plotClientHeightPx(g.LastPlotFormHeight));
        }
        return;
    }

    DrawingSurface* trace = window->PIC_TRAZADO;
    trace->setAutoRedraw(true);
    trace->cls();
    window->pic_escalas->resize(px(w - 360, true), px(h - 990, false));
    const int traceHeightTwips = h - 1405;
    trace->resize(px(w - 1335, true), px(traceHeightTwips, false));

    DrawingSurface* xs = window->PIC_GRADUACION_X;
    xs->resize(trace->width(), xs->height());
    const double lineTwips = std::abs(xs->textHeight(QStringLiteral("H")));
    xs->move(xs->x(), px(static_cast<int>(std::lround(traceHeightTwips + lineTwips)), false));

    DrawingSurface* ys = window->PIC_GRADUACION_Y;
    ys->setGeometry(ys->x(), trace->y(), ys->width(), trace->height());

    trace->setScale(0.0f, g.PlotUpper, static_cast<float>(g.RequestedSamples), g.PlotLower);
    g.LastPlotFormWidth = static_cast<float>(w);
    g.LastPlotFormHeight = static_cast<float>(h);
    const PlotScale scale = plotScale(m);
    DrawGraduations(window->surfaces(), scale);
    DrawGrid(trace, scale, m.grid() == CheckValue::Checked ? g.Colores[5][2] : g.Colores[5][1]);
}
