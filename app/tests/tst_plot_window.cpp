// SPDX-License-Identifier: GPL-3.0-or-later
// The plot window's interaction: the configure panel, XY mode and its width,
// the cursor readout, printing, saving the picture and closing the window.
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#include "acquisition/recorder.h"
#include "common/prompts.h"
#include "core/colour_settings.h"
#include "core/settings_model.h"
#include "core/tavo_library.h"
#include "display/cursor_readout.h"
#include "display/drawing_surface.h"
#include "display/plot_image.h"
#include "display/plot_limits.h"
#include "modal_guard.h"
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

// A printer that tells when the page is being painted.
class WatchedPrinter : public QPrinter {
  public:
    std::function<void()> painting;
    QPaintEngine* paintEngine() const override {
        if (painting) painting();
        return QPrinter::paintEngine();
    }
};

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
    int dialogFilter = 0;

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
        dialogFilter = 0;
        prompts::setFileDialogHook(
            [this](const FileDialogRequest&) { return FileChoice(dialogAnswer, dialogFilter); });
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
        // The value under the pointer, not its sample index.
        const QPoint dragged = at(t, 25.4, ctx->g.PlotLower);
        QCOMPARE(w->Lbl_coor_Y->text(), cursorOnDrag(25.4f, t->toUserY(dragged.y()), false).y);
        QVERIFY(w->Lbl_coor_Y->text() != w->Lbl_coor_X->text());
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

    // A name without an extension takes the chosen type's; one with its own
    // keeps it, whatever type was chosen.
    void savesThePicture_data() {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<int>("filter");
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("pdf");
        QTest::newRow("PNG chosen") << "registro" << 0 << "registro.png" << false;
        QTest::newRow("PDF chosen") << "grafico" << 1 << "grafico.pdf" << true;
        QTest::newRow("own .pdf, PNG chosen") << "propio.pdf" << 0 << "propio.pdf" << true;
        QTest::newRow("own .png, PDF chosen") << "propio.png" << 1 << "propio.png" << false;
    }
    void savesThePicture() {
        QFETCH(QString, answer);
        QFETCH(int, filter);
        QFETCH(QString, file);
        QFETCH(bool, pdf);
        const QTemporaryDir folder;
        dialogAnswer = folder.filePath(answer);
        dialogFilter = filter;
        w->BT_GuardarImagen->click();
        QVERIFY(messages.isEmpty());
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{file});
        QFile saved(folder.filePath(file));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        const QByteArray head = saved.read(8);
        QCOMPARE(head.startsWith("%PDF-"), pdf);
        QCOMPARE(head.startsWith("\x89PNG"), !pdf);
        if (pdf) return;
        const QImage image(folder.filePath(file));
        QCOMPARE(image.size(), w->size() * w->devicePixelRatio());
    }

    // The file dialog itself: choosing "Documento PDF" and typing a bare
    // name saves a PDF under that name with ".pdf".
    void fileDialogTakesTheChosenType() {
        prompts::setFileDialogHook({});
        const QTemporaryDir folder;
        const QString typed = folder.filePath("grafico");
        QString filterShown;
        whileModal([&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            QVERIFY(types && name);
            QCOMPARE(types->count(), 2);
            // As the user picks it: the dialog hears the choice.
            types->setFocus();
            QTest::keyClick(types, Qt::Key_Down);
            filterShown = dialog->selectedNameFilter();
            name->setText(typed);
            QTest::keyClick(name, Qt::Key_Return);
        });
        w->BT_GuardarImagen->click();
        QCOMPARE(filterShown, QStringLiteral("Documento PDF (*.pdf)"));
        QVERIFY(messages.isEmpty());
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList{"grafico.pdf"});
        QFile saved(typed + ".pdf");
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QVERIFY(saved.read(5) == "%PDF-");
    }

    void savedPictureLeavesTheButtonsOut() {
        dialogAnswer = workDir_.filePath("registro.png");
        w->BT_GuardarImagen->click();
        const QImage saved(dialogAnswer);
        QCOMPARE(saved.size(), w->size() * w->devicePixelRatio());
        // The buttons' corner shows the window's background only.
        const QRgb corner = saved.pixel(2, 2);
        const QPoint inButton = w->CMD_CONTROL->geometry().center();
        QCOMPARE(saved.pixel(inButton), corner);
        QVERIFY(messages.isEmpty());
    }

    // The file dialog's extension rules on their own.
    void filterExtensions_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("expected");
        const QString image = QStringLiteral("Imagen PNG|*.png|Documento PDF|*.pdf");
        QTest::newRow("first filter") << "a" << image << 0 << "a.png";
        QTest::newRow("second filter") << "a" << image << 1 << "a.pdf";
        QTest::newRow("own extension") << "a.PDF" << image << 0 << "a.PDF";
        QTest::newRow("no such filter") << "a" << image << 2 << "a";
        QTest::newRow("first of two patterns") << "d"
                                               << "Datos|*.DAT;*.TXT" << 0 << "d.DAT";
        QTest::newRow("any file") << "d"
                                  << "Todos|*.*" << 0 << "d";
        QTest::newRow("dot in a folder") << "/tmp/x.d/f" << image << 1 << "/tmp/x.d/f.pdf";
    }
    void filterExtensions() {
        QFETCH(QString, name);
        QFETCH(QString, filter);
        QFETCH(int, index);
        QFETCH(QString, expected);
        QCOMPARE(prompts::withFilterExtension(name, filter, index), expected);
    }

    // Closing the window with the configure panel open cancels the panel:
    // the limits go back, and the next recording neither shows the panel nor
    // waits for it.
    void closingCancelsTheConfigurePanel() {
        apply(" 5", "-2", false);
        startRecording();
        w->BT_Configurar->click();
        w->TXT_LSuperior->setText("9");
        QVERIFY(!ctx->recorder().timerActive());
        w->close();
        QCOMPARE(ctx->g.Recording, kFalse);
        QVERIFY(w->MRC_Configurar->isHidden());
        QCOMPARE(ctx->g.PlotUpper, 5.0f);
        QCOMPARE(ctx->g.PlotLower, -2.0f);
        startRecording();
        QVERIFY(w->MRC_Configurar->isHidden());
        QVERIFY(ctx->recorder().timerActive());
        QVERIFY(waitForSamples(1));
    }

    // "Cancelar" puts back each limit where it was; "Aplicar" during a
    // recording lets the sampling go on.
    void cancelAndApplyDuringARecording_data() {
        QTest::addColumn<bool>("cancel");
        QTest::newRow("Cancelar") << true;
        QTest::newRow("Aplicar") << false;
    }
    void cancelAndApplyDuringARecording() {
        QFETCH(bool, cancel);
        apply(" 5", "-2", false);
        startRecording();
        w->BT_Configurar->click();
        QVERIFY(!ctx->recorder().timerActive());
        w->TXT_LSuperior->setText(" 8");
        w->TXT_Linferior->setText("-1");
        (cancel ? w->BT_Cancelar : w->BT_Aplicar)->click();
        QVERIFY(w->MRC_Configurar->isHidden());
        QVERIFY(ctx->recorder().timerActive());
        QCOMPARE(ctx->g.PlotUpper, cancel ? 5.0f : 8.0f);
        QCOMPARE(ctx->g.PlotLower, cancel ? -2.0f : -1.0f);
        const int16_t before = ctx->g.SampleCounter;
        QVERIFY(waitForSamples(before + 1));
    }

    // Each option sets its own axis and blanks the five value labels.
    void axisOptionsChooseTheirChannel_data() {
        QTest::addColumn<bool>("xAxis");
        QTest::addColumn<int>("index");
        QTest::newRow("opt_x E2") << true << 2;
        QTest::newRow("opt_x SA") << true << 4;
        QTest::newRow("opt_y E3") << false << 3;
        QTest::newRow("opt_y E0") << false << 0;
    }
    void axisOptionsChooseTheirChannel() {
        QFETCH(bool, xAxis);
        QFETCH(int, index);
        apply(" 5", "-5", true);
        FrmControl* main = ctx->frmControl();
        ctx->g.XYChannelX = 1;
        ctx->g.XYChannelY = 1;
        for (QLabel* l : main->Lbl_Vis) l->setText("1,00");
        QRadioButton* option = (xAxis ? w->opt_x : w->opt_y)[size_t(index)];
        QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(4, option->height() / 2));
        QVERIFY(option->isChecked());
        QCOMPARE(int(ctx->g.XYChannelX), xAxis ? index : 1);
        QCOMPARE(int(ctx->g.XYChannelY), xAxis ? 1 : index);
        for (QLabel* l : main->Lbl_Vis) QVERIFY2(l->text().isEmpty(), qPrintable(l->objectName()));
    }

    // Printing holds a running recording while the page is painted and lets
    // it go on afterwards.
    void printingHoldsARunningRecording() {
        const QString pdf = workDir_.filePath("page.pdf");
        int painted = 0;
        int paintedWhileSampling = 0;
        setPrinterSource([&] {
            auto p = std::make_unique<WatchedPrinter>();
            p->setOutputFormat(QPrinter::PdfFormat);
            p->setOutputFileName(pdf);
            p->painting = [&] {
                ++painted;
                paintedWhileSampling += ctx->recorder().timerActive() ? 1 : 0;
            };
            return std::unique_ptr<QPrinter>(std::move(p));
        });
        startRecording();
        QVERIFY(ctx->recorder().timerActive());
        w->BT_Imprimir->click();
        QVERIFY(painted > 0);
        QCOMPARE(paintedWhileSampling, 0);
        QVERIFY(ctx->recorder().timerActive());
        QVERIFY(QFileInfo(pdf).size() > 0);
    }

    // The colours taking effect clear the trace area and draw the grid again
    // in its new colour when "Rejilla" is ticked; entering XY mode does the
    // same on the XY area.
    void gridDrawnAgain_data() {
        QTest::addColumn<bool>("xy");
        QTest::addColumn<bool>("grid");
        QTest::newRow("colours, Rejilla") << false << true;
        QTest::newRow("colours, no Rejilla") << false << false;
        QTest::newRow("XY mode, Rejilla") << true << true;
        QTest::newRow("XY mode, no Rejilla") << true << false;
    }
    void gridDrawnAgain() {
        QFETCH(bool, xy);
        QFETCH(bool, grid);
        constexpr int32_t kGrid = 0x0000C0;
        w->CHK_REJILLA->setChecked(grid);
        DrawingSurface* t = w->PIC_TRAZADO;
        t->setAutoRedraw(true);
        t->line(0, ctx->g.PlotLower, 10, ctx->g.PlotUpper, kMark);
        QVERIFY(hasColour(t->shownImage(), kMark));
        ctx->g.Colores[5][2] = kGrid;
        if (xy) {
            w->EnterXYMode();
        } else {
            ApplyColours(ctx->settings());
        }
        QVERIFY(!hasColour(t->shownImage(), kMark));
        QCOMPARE(hasColour(t->shownImage(), kGrid), grid);
    }
};

QTEST_MAIN(TstPlotWindow)
#include "tst_plot_window.moc"
