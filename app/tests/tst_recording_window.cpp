// SPDX-License-Identifier: GPL-3.0-or-later
// Recording from the main window: its controls reach the sampling engine and
// the analog output, and it shows what they report.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <chrono>
#include <thread>

#include "acquisition/recorder.h"
#include "acquisition/sample_units.h"
#include "common/numbers.h"
#include "common/prompts.h"
#include "common/title.h"
#include "config/config_file.h"
#include "core/settings_model.h"
#include "core/tavo_library.h"
#include "test_program.h"
#include "windows/frm_control.h"
#include "windows/frm_registro.h"

class TstRecordingWindow : public QObject {
    Q_OBJECT

    QTemporaryDir workDir_;
    QString previousDir_;
    QList<FileDialogRequest> dialogs_;
    QString dialogAnswer_;

    // The program in an empty folder; bench: the real library on the
    // simulated bench, else the stand-in (codes 11, 22, 33, 44).
    std::unique_ptr<TestProgram> start(bool bench = false) {
        auto ctx = std::make_unique<TestProgram>();
        const QString bin = QCoreApplication::applicationDirPath();
        ctx->library().setSearch(bench ? bin : bin + "/standin", false);
        ctx->frmControl();
        return ctx;
    }
    static QStringList lines(const QString& path) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) return {};
        return QString::fromLatin1(f.readAll()).split("\r\n", Qt::SkipEmptyParts);
    }
    // Whether the label's text is drawn in red.
    static bool hasRedText(QLabel* label) {
        const QImage img = label->grab().toImage();
        for (int y = 0; y < img.height(); ++y) {
            for (int x = 0; x < img.width(); ++x) {
                const QColor c = img.pixelColor(x, y);
                if (c.red() > 200 && c.green() < 80 && c.blue() < 80) return true;
            }
        }
        return false;
    }
    static bool waitForSample(FrmControl* w, int n) {
        return QTest::qWaitFor([w, n] { return w->Lbl_Contamuestras->text().toInt() >= n; }, 5000);
    }

  private slots:
    void init() {
        previousDir_ = QDir::currentPath();
        QDir::setCurrent(workDir_.path());
        QFile::remove("DATOS.DAT");
        dialogs_.clear();
        prompts::setMessageHook([](const MessageRequest&) {});
        prompts::setFileDialogHook([this](const FileDialogRequest& r) {
            dialogs_ << r;
            return dialogAnswer_;
        });
    }
    void cleanup() {
        prompts::setMessageHook({});
        prompts::setFileDialogHook({});
        QDir::setCurrent(previousDir_);
    }

    // Start on the bench, see the values, stop, find the sweep in DATOS.DAT.
    void recordOnTheBench() {
        auto ctx = start(true);
        FrmControl* w = ctx->frmControl();
        w->cmd_inic->click();
        QCOMPARE(w->cmd_inic->text(), QStringLiteral("&Parar registro"));
        QVERIFY(!w->Hsr_muestras->isEnabled() && !w->Hsr_Periodo->isEnabled());
        QVERIFY(ctx->frmRegistro()->isVisible());
        QVERIFY(waitForSample(w, 4));
        for (QLabel* l : w->Lbl_Vis) QVERIFY(!l->text().isEmpty());
        w->cmd_inic->click();
        const int taken = ctx->g.SampleCounter;
        QCOMPARE(w->cmd_inic->text(), QStringLiteral("&Iniciar registro"));
        QVERIFY(w->Lbl_Contamuestras->text().isEmpty() && w->Lbl_Vis[0]->text().isEmpty());
        const QStringList l = lines("DATOS.DAT");
        QCOMPARE(l.size(), taken - 1);
        QCOMPARE(l[1].section(',', 0, 0), QStringLiteral("100"));
        QCOMPARE(l[1].count(','), 5);
    }

    void typedSettingsAndFocus() {
        auto ctx = start();
        FrmControl* w = ctx->frmControl();
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w));
        w->Txt_Muestras->setFocus();
        w->Txt_Muestras->setText("5000");
        QCOMPARE(w->Hsr_muestras->value(), 5000);
        QCOMPARE(ctx->g.RequestedSamples, int16_t(5000));
        w->Txt_Muestras->setText("99999");
        QCOMPARE(w->Hsr_muestras->value(), 5000);
        w->Txt_Muestras->setText("20");
        QTest::keyClick(w->Txt_Muestras, Qt::Key_Return);
        QCOMPARE(w->Txt_Muestras->text(), QString::number(ctx->g.SweepSamples));
        QVERIFY(w->Txt_Periodo->hasFocus());
        w->Txt_Periodo->setText("50");
        QTest::keyClick(w->Txt_Periodo, Qt::Key_Return);
        QCOMPARE(w->Txt_Periodo->text(), QString::number(ctx->g.SweepPeriodMs));
        QVERIFY(w->Txt_Muestras->hasFocus());
        // The period is taken when the thumb is released.
        w->Hsr_Periodo->setSliderDown(true);
        w->Hsr_Periodo->setSliderPosition(5000);
        QCOMPARE(ctx->g.PeriodMs, int16_t(100));
        w->Hsr_Periodo->setSliderDown(false);
        QCOMPARE(ctx->g.PeriodMs, int16_t(5000));
        QCOMPARE(w->Txt_Periodo->text(), QStringLiteral("5000"));
    }

    // The typed output value: the nearest code of the module's scale, or the
    // present value again when out of range.
    void typedOutputValue_data() {
        QTest::addColumn<bool>("twelveBit");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        QTest::newRow("12-bit 2.5") << true << "2.5" << 2500 << formatOutput(2.5);
        QTest::newRow("12-bit 40") << true << "40" << 0 << formatOutput(0.0);
        QTest::newRow("8-bit 2.5") << false << "2.5" << 255 << formatOutput(2.5);
        QTest::newRow("8-bit 40") << false << "40" << 0 << formatOutput(0.0);
        // The box shows the locale's separator; a comma reads as one anywhere.
        QTest::newRow("12-bit decimal comma") << true << "0,3" << 300 << formatOutput(0.3);
    }
    void typedOutputValue() {
        QFETCH(bool, twelveBit);
        QFETCH(QString, typed);
        QFETCH(int, code);
        QFETCH(QString, text);
        auto ctx = start();
        FrmControl* w = ctx->frmControl();
        SettingsModel& m = ctx->settings();
        m.setModuleType(twelveBit ? ModuleKind::Converter12 : ModuleKind::Converter8);
        m.setPlotLimits(0.0f, 2.5f, twelveBit ? 4095 : 255);
        w->Txt_salanal->setText(typed);
        QTest::keyClick(w->Txt_salanal, Qt::Key_Return);
        QCOMPARE(w->HSr_salanal->value(), code);
        QCOMPARE(ctx->g.AnalogOutValue, int16_t(code));
        QCOMPARE(w->Txt_salanal->text(), text);
        // Leaving the box again as shown (a decimal comma in Spanish) keeps
        // the output.
        QTest::keyClick(w->Txt_salanal, Qt::Key_Return);
        QCOMPARE(w->HSr_salanal->value(), code);
    }

    // A cleared channel stays blank and undrawn while it is still recorded.
    void channelClearedDuringRecording() {
        auto ctx = start();
        FrmControl* w = ctx->frmControl();
        w->StartStopRecording();
        QVERIFY(waitForSample(w, 1));
        w->CHK_VIS[2]->click();
        QVERIFY(w->Lbl_Vis[2]->text().isEmpty());
        const int now = ctx->g.SampleCounter;
        QVERIFY(waitForSample(w, now + 2));
        QVERIFY(w->Lbl_Vis[2]->text().isEmpty());
        QCOMPARE(w->Lbl_Vis[1]->text(),
                 formatValue(22 * inputFactor8(1.0f, ModuleKind::Converter8)));
        w->StartStopRecording();
    }

    // A configuration read during a recording leaves the running sweep's
    // samples and period; the next start takes them.
    void configurationLoadedDuringRecording() {
        auto ctx = start();
        FrmControl* w = ctx->frmControl();
        QFile cfg("larger.CFG");
        QVERIFY(cfg.open(QIODevice::WriteOnly));
        cfg.write(
            "0,500,10000,888,0,0,1,\"V\"\r\n1,1,1,1,1\r\n"
            "16711680,16777215,65280,0,255,16777215,16776960,0,16711935,16777215\r\n"
            "#FALSE#,#TRUE#,0,1,0\r\n0,1\r\n"
            "16711680,65280,255,16776960,16711935,16777215\r\n"
            "16777215,0,16777215,0,16777215,0\r\n#FALSE#,#FALSE#,#FALSE#,#TRUE#\r\n"
            "\"DATOS.DAT\"\r\n");
        cfg.close();
        w->StartStopRecording();
        const int16_t samples = ctx->g.SweepSamples;
        QVERIFY(LoadConfiguration(*ctx, "larger.CFG"));
        QCOMPARE(ctx->g.RequestedSamples, int16_t(10000));
        QCOMPARE(ctx->g.SweepSamples, samples);
        QCOMPARE(ctx->g.SweepPeriodMs, int16_t(100));
        QVERIFY(waitForSample(w, 3));
        w->StartStopRecording();
        w->StartStopRecording();
        QCOMPARE(ctx->g.SweepSamples, int16_t(10000));
        QCOMPARE(ctx->g.SweepPeriodMs, int16_t(500));
        w->StartStopRecording();
    }

    // The data file chosen in the save dialog; a failed write shows on its
    // label and in the status bar until a write succeeds.
    void dataFileChoiceAndWriteFailure() {
        auto ctx = start();
        FrmControl* w = ctx->frmControl();
        QVERIFY(QDir().mkpath("datos"));
        dialogAnswer_ = QDir::current().filePath("datos/ensayo.txt");
        w->MN_Guardar->trigger();
        QCOMPARE(dialogs_.size(), 1);
        QCOMPARE(dialogs_[0].kind, FileDialogRequest::Save);
        QCOMPARE(dialogs_[0].title, QStringLiteral("Donde guardar los registros de datos"));
        QCOMPARE(dialogs_[0].filter, QStringLiteral("Archivos donde guardar|*.DAT;*.TXT"));
        QCOMPARE(dialogs_[0].initialName, QStringLiteral("DATOS.DAT"));
        QCOMPARE(w->Lbl_archivo->text(), QStringLiteral("ensayo.txt"));
        QCOMPARE(ctx->g.DataFileName, dialogAnswer_);
        dialogAnswer_.clear();
        QTest::mouseClick(w->Lbl_archivo, Qt::LeftButton);
        QCOMPARE(dialogs_.size(), 2);
        QCOMPARE(ctx->g.DataFileName, QDir::current().filePath("datos/ensayo.txt"));

        // The window keeps its size and its designed area when the failure
        // is told.
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        const QSize size = w->size();
        const QRect area = w->centralWidget()->geometry();
        QVERIFY(!hasRedText(w->Lbl_archivo));
        ctx->settings().setDataFileName("missing/DATOS.DAT");
        w->StartStopRecording();
        QVERIFY(waitForSample(w, 3));
        w->StartStopRecording();
        QCOMPARE(w->Lbl_archivo->toolTip(), QStringLiteral("la carpeta no existe"));
        QVERIFY(hasRedText(w->Lbl_archivo));
        QCOMPARE(w->statusBar()->currentMessage(),
                 QStringLiteral("No se pudo grabar missing/DATOS.DAT: la carpeta no existe"));
        QCoreApplication::processEvents();
        QCOMPARE(w->size(), size);
        QCOMPARE(w->centralWidget()->geometry(), area);
        ctx->settings().setDataFileName("DATOS.DAT");
        w->StartStopRecording();
        QVERIFY(waitForSample(w, 3));
        w->StartStopRecording();
        QVERIFY(w->Lbl_archivo->toolTip().isEmpty());
        QVERIFY(!hasRedText(w->Lbl_archivo));
        QVERIFY(w->statusBar()->currentMessage().isEmpty());
    }

    // "Grabar en:" ticked during a continuous recording: the next sweep's
    // end writes the file.
    void savingTickedDuringAContinuousRecording() {
        auto ctx = start();
        FrmControl* w = ctx->frmControl();
        QVERIFY(w->Option1->isChecked());
        w->CHK_Guardar->setChecked(false);
        // Short sweeps keep the test short.
        ctx->g.PeriodMs = 10;
        ctx->g.RequestedSamples = 50;
        w->StartStopRecording();
        QVERIFY(waitForSample(w, 5));
        QVERIFY(!QFile::exists("DATOS.DAT"));
        w->CHK_Guardar->click();
        QVERIFY(QTest::qWaitFor([] { return lines("DATOS.DAT").size() == 50; }, 5000));
        w->StartStopRecording();
    }

    // In XY mode each value goes to its own row's label, and no other label
    // is written.
    void xyValuesGoToTheirOwnLabels() {
        auto ctx = start();
        FrmControl* w = ctx->frmControl();
        ctx->frmRegistro()->CHK_MODO->setChecked(true);
        ctx->g.XYChannelX = 1;
        ctx->g.XYChannelY = 0;
        w->StartStopRecording();
        QVERIFY(waitForSample(w, 1));
        const float f = inputFactor8(1.0f, ModuleKind::Converter8);
        QCOMPARE(w->Lbl_Vis[0]->text(), formatValue(11 * f));
        QCOMPARE(w->Lbl_Vis[1]->text(), formatValue(22 * f));
        for (size_t i = 2; i < w->Lbl_Vis.size(); ++i) QVERIFY(w->Lbl_Vis[i]->text().isEmpty());
        w->StartStopRecording();
    }

    // Closing the main window while the acquisition thread is in the middle
    // of an 8-bit read ends the program; the read finishes and no other
    // starts.
    void closedDuringTheReadsYield() {
        auto ctx = start();
        FrmControl* w = ctx->frmControl();
        w->show();
        std::atomic<int> yields{0};
        ctx->recorder().setBetweenAttempts([&] {
            if (++yields != 1) return;
            QMetaObject::invokeMethod(
                w, [w] { w->close(); }, Qt::QueuedConnection);
            // The window closes while this read is under way.
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
        });
        w->StartStopRecording();
        QTimer guard;
        QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(1); });
        guard.start(20000);
        QCOMPARE(QCoreApplication::exec(), 0);
        QVERIFY(w->ending());
        QVERIFY(!w->TMR_ANALOGICO->isActive());
        QVERIFY(!ctx->recorder().timerActive());
        QCOMPARE(ctx->g.SampleCounter, int16_t(1));
        ctx.reset();
        QCOMPARE(yields.load(), 1);
    }

    // Between recordings, holding the button on a value label reads once.
    void valueLabelReadsWhileHeld() {
        auto ctx = start();
        FrmControl* w = ctx->frmControl();
        QTest::mousePress(w->Lbl_Vis[0], Qt::LeftButton);
        QCOMPARE(w->Lbl_Vis[0]->text(),
                 formatValue(11 * inputFactor8(1.0f, ModuleKind::Converter8)));
        QTest::mouseRelease(w->Lbl_Vis[0], Qt::LeftButton);
        QVERIFY(w->Lbl_Vis[0]->text().isEmpty());
        w->StartStopRecording();
        QTest::mousePress(w->Lbl_Vis[0], Qt::LeftButton);
        QVERIFY(w->Lbl_Vis[0]->text().isEmpty());
        w->StartStopRecording();
    }
};

QTEST_MAIN(TstRecordingWindow)
#include "tst_recording_window.moc"
