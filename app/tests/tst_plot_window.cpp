// SPDX-License-Identifier: GPL-3.0-or-later
// The plot window's interaction: the configure panel, XY mode and its width,
// the cursor readout, printing, saving the picture and closing the window.
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#include "acquisition/recorder.h"
#include "common/prompts.h"
#include "core/settings_model.h"
#include "core/tavo_library.h"
#include "display/drawing_surface.h"
#include "display/plot_image.h"
#include "display/plot_limits.h"
#include "test_images.h"
#include "test_program.h"
#include "widgets/colours.h"
#include "widgets/twips.h"
#include "windows/frm_control.h"
#include "windows/frm_registro.h"

namespace {

constexpr int32_t kMark = 0x00FF00;

QPoint at(DrawingSurface* s, double x, double y) {
    return QPoint(int(std::lround(s->toPixelX(x))), int(std::lround(s->toPixelY(y))));
}

}  // namespace

class TstPlotWindow : public QObject {
    Q_OBJECT

    QTemporaryDir workDir_;
    QString previousDir_;
    std::unique_ptr<TestProgram> ctx;
    FrmRegistro* w = nullptr;
    int beeps = 0;
    QStringList messages;
    QString dialogAnswer;

    void startRecording() {
        ctx->frmControl()->cmd_inic->click();
        QVERIFY(ctx->g.Recording != kFalse);
    }
    bool waitForSamples(int n) {
        return QTest::qWaitFor([this, n] { return ctx->g.SampleCounter >= n; }, 5000);
    }
    void apply(const QString& upper, const QString& lower, bool xy) {
        w->BT_Configurar->click();
        w->CHK_MODO->setChecked(xy);
        w->TXT_LSuperior->setText(upper);
        w->TXT_Linferior->setText(lower);
        w->BT_Aplicar->click();
    }

  private slots:
    void init() {
        previousDir_ = QDir::currentPath();
        QDir::setCurrent(workDir_.path());
        beeps = 0;
        messages.clear();
        prompts::setBeepHook([this] { ++beeps; });
        prompts::setMessageHook([this](const MessageRequest& r) { messages << r.text; });
        prompts::setFileDialogHook([this](const FileDialogRequest&) { return dialogAnswer; });
        ctx = std::make_unique<TestProgram>(QStringList{"no-such-config.CFG"});
        ctx->library().setSearch(QCoreApplication::applicationDirPath(), false);
        ctx->frmControl();
        w = ctx->frmRegistro();
        w->resize(twipsToPixelsX(8670), twipsToPixelsY(5160));
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        messages.clear();  // the missing configuration file's
    }
    void cleanup() {
        ctx.reset();
        w = nullptr;
        setPrinterSource({});
        prompts::setBeepHook({});
        prompts::setMessageHook({});
        prompts::setFileDialogHook({});
        QDir::setCurrent(previousDir_);
    }

    void controlsAtTheirPlaces() {
        QCOMPARE(w->BT_Configurar->geometry(), QRect(twipsToPixelsX(1770), twipsToPixelsY(60),
                                                     twipsToPixelsX(915), twipsToPixelsY(312)));
        QCOMPARE(w->BT_UP->text(), QString(">"));
        QCOMPARE(w->cmd_ajustar->text(), QString("Ajus&Tar"));
        QVERIFY(w->MRC_Configurar->isHidden() && w->MRC_MODO_XY->isHidden());
        // The saving button sits beside "&Imprimir", clear of the readout.
        QVERIFY(w->BT_GuardarImagen->geometry().right() < w->Lbl_text_X->x());
        QVERIFY(w->BT_GuardarImagen->x() > w->BT_Imprimir->geometry().right());
    }

    void configureShowsTheLimits() {
        ctx->g.PlotUpper = 2.5f;
        ctx->g.PlotLower = 0.0f;
        w->BT_Configurar->click();
        QVERIFY(w->MRC_Configurar->isVisible());
        QCOMPARE(w->TXT_LSuperior->text(), limitBoxText(2.5f));
        QCOMPARE(w->TXT_Linferior->text(), QString(" 0"));
        QCOMPARE(ctx->g.SavedPlotUpper, 2.5f);
    }

    void applyRefusesLimitsNotInOrder() {
        const float upper = ctx->g.PlotUpper;
        apply("1", "1", false);
        QCOMPARE(beeps, 1);
        QVERIFY(w->MRC_Configurar->isVisible());
        QCOMPARE(w->focusWidget(), w->TXT_LSuperior);
        QCOMPARE(ctx->g.PlotUpper, upper);
    }

    void applyInTimeMode() {
        DrawingSurface* t = w->PIC_TRAZADO;
        t->line(0, ctx->g.PlotLower, 10, ctx->g.PlotUpper, kMark);
        apply("abc", "-1", false);
        QCOMPARE(beeps, 0);
        QCOMPARE(ctx->g.PlotUpper, 0.0f);
        QCOMPARE(ctx->g.PlotLower, -1.0f);
        QVERIFY(w->MRC_Configurar->isHidden() && w->MRC_MODO_XY->isHidden());
        // Laid out again: cleared, on the time scale.
        QVERIFY(!hasColour(t->shownImage(), kMark));
        QCOMPARE(t->scaleTop(), 0.0f);
        QCOMPARE(t->scaleHeight(), 1.0f * -1);
    }

    void xyModeAndItsWidth() {
        FrmControl* main = ctx->frmControl();
        ctx->g.XYPlotWidth = 3000;
        apply(" 5", "-5", true);
        QVERIFY(w->MRC_MODO_XY->isVisible());
        QVERIFY(!main->CHK_VIS[0]->isEnabled());
        QCOMPARE(w->PIC_TRAZADO->width(), twipsToPixelsX(3000));
        QCOMPARE(w->PIC_TRAZADO->scaleLeft(), -5.0f);

        // The first press after start-up ends an adjustment never started.
        w->cmd_ajustar->click();
        QVERIFY(w->BT_UP->isHidden());
        QVERIFY(main->cmd_inic->isEnabled());
        // The next one starts one.
        w->cmd_ajustar->click();
        QVERIFY(w->BT_UP->isVisible());
        QVERIFY(!main->cmd_inic->isEnabled() && !w->CHK_MODO->isEnabled());
        for (int i = 0; i < 200; ++i) w->BT_DOWN->click();
        const double floor = pixelsToTwipsX(w->PIC_TRAZADO->width());
        QVERIFY(floor <= 2000 && floor > 2000 - 15 - twipsPerPixelX());
        w->BT_UP->click();
        QVERIFY(pixelsToTwipsX(w->PIC_TRAZADO->width()) > floor);
        w->cmd_ajustar->click();
        QCOMPARE(ctx->g.XYPlotWidth, float(pixelsToTwipsX(w->PIC_TRAZADO->width())));
        QVERIFY(main->cmd_inic->isEnabled() && w->CHK_MODO->isEnabled());

        // Back to time mode: the channel boxes are enabled again.
        apply(" 5", "-5", false);
        QVERIFY(w->MRC_MODO_XY->isHidden());
        QVERIFY(main->CHK_VIS[0]->isEnabled());
    }

    void cursorReadout() {
        ctx->g.PeriodMs = 100;
        DrawingSurface* t = w->PIC_TRAZADO;
        QTest::mousePress(t, Qt::LeftButton, {}, at(t, 25, ctx->g.PlotLower));
        QCOMPARE(w->Lbl_coor_X->text(), QLocale().toString(2.5, 'f', 1));
        QMouseEvent move(QEvent::MouseMove, at(t, 25.4, ctx->g.PlotLower),
                         t->mapToGlobal(at(t, 25.4, 0)), Qt::NoButton, Qt::LeftButton, {});
        QCoreApplication::sendEvent(t, &move);
        QCOMPARE(w->Lbl_coor_X->text(), QString("25"));
        QVERIFY(!w->Lbl_coor_Y->text().isEmpty());
        QTest::mouseRelease(t, Qt::LeftButton, {}, at(t, 25, 0));
        QVERIFY(w->Lbl_coor_X->text().isEmpty() && w->Lbl_coor_Y->text().isEmpty());
        // Other buttons read nothing.
        QTest::mousePress(t, Qt::RightButton, {}, at(t, 5, 0));
        QVERIFY(w->Lbl_coor_X->text().isEmpty());
    }

    void configureAndCancelDuringARecording() {
        startRecording();
        QVERIFY(waitForSamples(2));
        w->PIC_TRAZADO->line(0, ctx->g.PlotLower, 1, ctx->g.PlotUpper, kMark);
        w->BT_Configurar->click();
        QVERIFY(!ctx->recorder().timerActive());
        const int16_t held = ctx->g.SampleCounter;
        QTest::qWait(350);
        QCOMPARE(ctx->g.SampleCounter, held);
        w->BT_Cancelar->click();
        QVERIFY(ctx->recorder().timerActive());
        // The sweep goes on from where it stopped, on the same picture.
        QVERIFY(waitForSamples(held + 1));
        QCOMPARE(ctx->g.SampleCounter, int16_t(held + 1));
        QVERIFY(hasColour(w->PIC_TRAZADO->shownImage(), kMark));
    }

    void closingStopsTheRecordingAndTheAdjustment() {
        apply(" 5", "-5", true);
        startRecording();
        w->cmd_ajustar->click();  // ends the start-up's adjustment
        w->cmd_ajustar->click();  // starts one
        QVERIFY(!ctx->frmControl()->cmd_inic->isEnabled());
        w->close();
        QCOMPARE(ctx->g.Recording, kFalse);
        QVERIFY(ctx->frmControl()->cmd_inic->isEnabled());
        QVERIFY(w->BT_UP->isHidden());
    }

    void printsWithoutTheButtons() {
        const QString pdf = workDir_.filePath("page.pdf");
        setPrinterSource([pdf] {
            auto p = std::make_unique<QPrinter>();
            p->setOutputFormat(QPrinter::PdfFormat);
            p->setOutputFileName(pdf);
            return p;
        });
        w->BT_Configurar->click();
        w->BT_Imprimir->click();
        QVERIFY(messages.isEmpty());
        QVERIFY(QFileInfo(pdf).size() > 0);
        // Everything is back as it was.
        QVERIFY(w->BT_Imprimir->isVisible() && w->MRC_Configurar->isVisible());

        setPrinterSource([] { return std::unique_ptr<QPrinter>(); });
        w->BT_Imprimir->click();
        QCOMPARE(messages, QStringList{"No hay ninguna impresora instalada."});
    }

    void savesThePicture() {
        dialogAnswer = workDir_.filePath("registro");
        w->BT_GuardarImagen->click();
        const QImage saved(workDir_.filePath("registro.png"));
        QCOMPARE(saved.size(), w->size() * w->devicePixelRatio());
        // The buttons' corner shows the window's background only.
        const QRgb corner = saved.pixel(2, 2);
        const QPoint inButton = w->CMD_CONTROL->geometry().center();
        QCOMPARE(saved.pixel(inButton), corner);
        QVERIFY(messages.isEmpty());
    }
};

QTEST_MAIN(TstPlotWindow)
#include "tst_plot_window.moc"
