// SPDX-License-Identifier: GPL-3.0-or-later
// The plot window: its controls, the layout on resize, graduations, grid and
// clearing, driven through a fresh application context per test.
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include <memory>

#include "common/prompts.h"
#include "common/title.h"
#include "core/settings_model.h"
#include "display/drawing_surface.h"
#include "display/graduations.h"
#include "display/grid.h"
#include "test_images.h"
#include "test_program.h"
#include "widgets/colours.h"
#include "widgets/twips.h"
#include "windows/frm_control.h"
#include "windows/frm_registro.h"
#include "windows/plot_layout.h"

namespace {

int distinctColours(const QImage& img) {
    QSet<QRgb> seen;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) seen.insert(img.pixel(x, y));
    return static_cast<int>(seen.size());
}

}  // namespace

class TstDisplayPlot : public QObject {
    Q_OBJECT

    std::unique_ptr<TestProgram> ctx;
    FrmRegistro* w = nullptr;

    void showAt(int widthPx, int heightPx) {
        w->resize(widthPx, heightPx);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QCoreApplication::processEvents();
    }

  private slots:
    void initTestCase() {
        QLocale::setDefault(QLocale::c());
        prompts::setMessageHook([](const MessageRequest&) {});
    }

    void init() {
        // A missing configuration file is answered by the hook above.
        ctx = std::make_unique<TestProgram>(QStringList{"no-such-config.CFG"});
        // The main window's start-up sets its own defaults; ours come after.
        ctx->frmControl();
        w = ctx->frmRegistro();
        ctx->g.PlotLower = 0;
        ctx->g.PlotUpper = 10;
        ctx->g.RequestedSamples = 50;
        ctx->g.PeriodMs = 100;
        ctx->g.Colores[5][1] = 0xFFFFFF;
        ctx->g.Colores[5][2] = 0;
    }

    void cleanup() {
        ctx.reset();
        w = nullptr;
    }

    void layoutFollowsTheWindowSize() {
        showAt(twipsToPixelsX(8670), twipsToPixelsY(5160));
        const int wt = plotFormWidthTwips(w);
        const int ht = plotFormHeightTwips(w);
        QCOMPARE(ctx->g.LastPlotFormWidth, float(wt));
        QCOMPARE(ctx->g.LastPlotFormHeight, float(ht));
        QCOMPARE(w->pic_escalas->width(), twipsToPixelsX(wt - 360));
        QCOMPARE(w->PIC_TRAZADO->width(), twipsToPixelsX(wt - 1335));
        QCOMPARE(w->PIC_TRAZADO->height(), twipsToPixelsY(ht - 1405));
        QCOMPARE(w->PIC_GRADUACION_Y->y(), w->PIC_TRAZADO->y());
        QCOMPARE(w->PIC_GRADUACION_Y->height(), w->PIC_TRAZADO->height());
        // The time scale: 0..N samples, value range top to bottom.
        QCOMPARE(w->PIC_TRAZADO->scaleWidth(), 50.0f);
        QCOMPARE(w->PIC_TRAZADO->scaleTop(), 10.0f);
        QCOMPARE(w->PIC_TRAZADO->scaleHeight(), -10.0f);
        QVERIFY(w->PIC_TRAZADO->autoRedraw());
        // Graduations were written into both strips.
        QVERIFY(distinctColours(w->PIC_GRADUACION_Y->shownImage()) > 1);
        QVERIFY(distinctColours(w->PIC_GRADUACION_X->shownImage()) > 1);
        // The X strip sits a text line below the trace area's bottom.
        QVERIFY(w->PIC_GRADUACION_X->y() > w->PIC_TRAZADO->height());

        // A larger window gives a larger trace area.
        const int before = w->PIC_TRAZADO->width();
        w->resize(w->width() + 100, w->height() + 40);
        QCoreApplication::processEvents();
        QCOMPARE(w->PIC_TRAZADO->width(), before + 100);
    }

    void tinyWindowKeepsTheLayout() {
        showAt(twipsToPixelsX(8670), twipsToPixelsY(5160));
        const float lastW = ctx->g.LastPlotFormWidth;
        const QSize trace = w->PIC_TRAZADO->size();
        // Under 500 twips including the frame.
        w->resize(10, w->height());
        QCoreApplication::processEvents();
        QCOMPARE(ctx->g.LastPlotFormWidth, lastW);
        QCOMPARE(w->PIC_TRAZADO->size(), trace);
    }

    void xyModeHoldsTheLastSize() {
        showAt(twipsToPixelsX(8670), twipsToPixelsY(5160));
        const QSize laidOut = w->size();
        w->CHK_MODO->setChecked(true);
        w->resize(laidOut.width() + 60, laidOut.height());
        QCoreApplication::processEvents();
        QCOMPARE(w->size(), laidOut);
        w->resize(laidOut.width(), laidOut.height() - 30);
        QCoreApplication::processEvents();
        QCOMPARE(w->size(), laidOut);
        // Unticked, the window follows again.
        w->CHK_MODO->setChecked(false);
        w->resize(laidOut.width() + 60, laidOut.height());
        QCoreApplication::processEvents();
        QCOMPARE(w->size().width(), laidOut.width() + 60);
    }

    void gridFollowsRejilla() {
        ctx->g.Colores[5][2] = 0x0000FF;  // red grid
        w->CHK_REJILLA->setChecked(true);
        showAt(twipsToPixelsX(8670), twipsToPixelsY(5160));
        QVERIFY(hasColour(w->PIC_TRAZADO->persistentImage(), 0x0000FF));
        // Unticked, the layout erases it in the background colour.
        w->CHK_REJILLA->setChecked(false);
        w->resize(w->width() + 15, w->height());
        QCoreApplication::processEvents();
        QVERIFY(!hasColour(w->PIC_TRAZADO->persistentImage(), 0x0000FF));
    }

    // Equal limits, a limit that is not a number and no samples neither hang
    // the graduations and the grid nor break the layout.
    void equalOrBrokenLimitsKeepTheLayout() {
        ctx->g.PlotUpper = ctx->g.PlotLower = 0;
        w->CHK_REJILLA->setChecked(true);
        showAt(twipsToPixelsX(8670), twipsToPixelsY(5160));
        const QSize trace = w->PIC_TRAZADO->size();
        ctx->g.PlotUpper = std::nanf("");
        w->resize(w->width() + 15, w->height());
        QCoreApplication::processEvents();
        w->CHK_MODO->setChecked(true);
        DrawGraduations(w->surfaces(), plotScale(ctx->settings()));
        DrawGrid(w->PIC_TRAZADO, plotScale(ctx->settings()), 0);
        ctx->g.RequestedSamples = 0;
        w->CHK_MODO->setChecked(false);
        LayoutPlotWindow(*ctx, w);
        QCOMPARE(w->PIC_TRAZADO->size(), QSize(trace.width() + 15, trace.height()));
        QCOMPARE(w->PIC_GRADUACION_Y->height(), w->PIC_TRAZADO->height());
    }

    void limpiarClearsAndRestartsTheSweep() {
        ctx->g.Colores[5][2] = 0x00FF00;
        w->CHK_REJILLA->setChecked(true);
        showAt(twipsToPixelsX(8670), twipsToPixelsY(5160));
        DrawingSurface* t = w->PIC_TRAZADO;
        t->line(0, 5, 50, 5, 0xFF0000);
        QVERIFY(hasColour(t->shownImage(), 0xFF0000));
        ctx->g.SampleCounter = 17;
        auto* count = ctx->frmControl()->findChild<QLabel*>("Lbl_Contamuestras");
        QVERIFY(count);
        count->setText("17");
        w->CMD_LIMPIAR->click();
        QVERIFY(!hasColour(t->shownImage(), 0xFF0000));
        QVERIFY(hasColour(t->shownImage(), 0x00FF00));
        QCOMPARE(ctx->g.SampleCounter, int16_t(0));
        QVERIFY(count->text().isEmpty());
        QVERIFY(ctx->g.SweepStartTime > 0 || QTime::currentTime().msecsSinceStartOfDay() < 1000);
    }

    void graduationsOnAnotherWindow() {
        // A window with the three surfaces under their names, as the graphic
        // editor has; its trace area starts off the container's left edge.
        QWidget editor;
        editor.resize(400, 300);
        auto* t = new DrawingSurface(&editor);
        t->setObjectName("PIC_TRAZADO");
        t->setGeometry(60, 10, 300, 200);
        auto* x = new DrawingSurface(&editor);
        x->setObjectName("PIC_GRADUACION_X");
        x->setGeometry(60, 215, 300, 20);
        auto* y = new DrawingSurface(&editor);
        y->setObjectName("PIC_GRADUACION_Y");
        y->setGeometry(0, 10, 55, 200);
        t->setScale(0, 10, 300, 0);
        DrawGraduations({t, x, y}, plotScale(ctx->settings()));
        QCOMPARE(y->scaleTop(), 10.0f);
        QCOMPARE(y->scaleHeight(), -10.0f);
        QCOMPARE(x->scaleWidth(), 300.0f);
        QVERIFY(distinctColours(x->shownImage()) > 1);
        QVERIFY(distinctColours(y->shownImage()) > 1);
        // The grid goes onto that window's trace area.
        DrawGrid(t, plotScale(ctx->settings()), 0x0000FF);
        QVERIFY(hasColour(t->shownImage(), 0x0000FF));
    }
};

QTEST_MAIN(TstDisplayPlot)
#include "tst_display_plot.moc"
