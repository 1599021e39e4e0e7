// SPDX-License-Identifier: GPL-3.0-or-later
// The waveform dialog and the graphic editor, driven through their controls
// with the playback engine behind them.
#include <QSignalSpy>
#include <QtTest>

#include "common/prompts.h"
#include "core/settings_model.h"
#include "core/tavo_library.h"
#include "core/var_glob.h"
#include "display/drawing_surface.h"
#include "generator/wave_player.h"
#include "test_program.h"
#include "windows/frm_definir_ondas.h"
#include "windows/frm_definir_senales_graf.h"

class TstGeneratorWindows : public QObject {
    Q_OBJECT

    std::unique_ptr<TestProgram> program_;
    VarGlob* gp_ = nullptr;
    WavePlayer* player_ = nullptr;
    WindowSet* windows_ = nullptr;
    QStringList messages_;
    int beeps_ = 0;

    VarGlob& g() { return *gp_; }
    FrmDefinirOndas* dialog(WaveFrame frame) {
        windows_->showWaveDialog(frame);
        FrmDefinirOndas* d = windows_->frmDefinirOndasLoaded();
        if (!QTest::qWaitForWindowActive(d)) qWarning("the dialog is not active");
        return d;
    }
    // Leaving a field as a click elsewhere would.
    static void leave(QLineEdit* box) {
        QFocusEvent out(QEvent::FocusOut, Qt::MouseFocusReason);
        QCoreApplication::sendEvent(box, &out);
    }

  private slots:
    void init() {
        messages_.clear();
        beeps_ = 0;
        prompts::setMessageHook([this](const MessageRequest& r) { messages_ << r.text; });
        prompts::setBeepHook([this] { ++beeps_; });
        program_ = std::make_unique<TestProgram>();
        program_->library().setSearch(QCoreApplication::applicationDirPath() + "/standin", false);
        gp_ = &program_->g;
        player_ = &program_->wavePlayer();
        windows_ = &program_->windows;
        // The windows' parent; its start-up leaves the 8-bit defaults.
        program_->frmControl();
        g().ModuleType = 2;
        program_->settings().setPlotLimits(-1.0f, 3.0f, 4095);
        // The start-up's own messages (no configuration file here).
        messages_.clear();
    }
    void cleanup() {
        program_.reset();
        prompts::setMessageHook({});
        prompts::setBeepHook({});
    }

    void defaultsFollowTheModule() {
        FrmDefinirOndas* d = dialog(WaveFrame::Periodic);
        QVERIFY(d->MRC_ONDAS->isVisible());
        QVERIFY(!d->MRC_ESTIMULOS->isVisible());
        QCOMPARE(d->windowTitle(), QStringLiteral("Seleccionar Señal"));
        QCOMPARE(d->TXT_AMPLITUD_ONDA->text(), QStringLiteral("1500"));
        QCOMPARE(d->MaxCode, int16_t(4095));
        d->TXT_PERIODO_ONDA->setText("2000");
        d->activate();
        QCOMPARE(d->TXT_PERIODO_ONDA->text(), QStringLiteral("2000"));
        // From a 12-bit to an 8-bit module: texts made for 4095 are replaced.
        g().ModuleType = 0;
        d->activate();
        QCOMPARE(d->MaxCode, int16_t(250));
        QCOMPARE(d->TXT_AMPLITUD_ONDA->text(), QStringLiteral("100"));
        QCOMPARE(d->TXT_OFFSET_ESTIMULOS->text(), QStringLiteral("0"));
        QCOMPARE(d->TXT_AMPLITUD_ESTIMULOS->text(), QStringLiteral("200"));
        // The plot's range is the plot's.
        QCOMPARE(g().PlotUpper, 3.0f);
    }

    void leavingAFieldCorrectsIt() {
        FrmDefinirOndas* d = dialog(WaveFrame::Periodic);
        d->TXT_AMPLITUD_ONDA->setText("4096");
        leave(d->TXT_AMPLITUD_ONDA);
        QCOMPARE(messages_, QStringList{"Amplitud demasiado grande\r\nmáximo 4094"});
        QCOMPARE(d->TXT_AMPLITUD_ONDA->text(), QStringLiteral("4094"));
    }

    void enterMovesThroughTheFrame() {
        FrmDefinirOndas* d = dialog(WaveFrame::Stimulus);
        d->TXT_PERIODO_ESTIMULOS->setFocus();
        QTest::keyClick(d->TXT_PERIODO_ESTIMULOS, Qt::Key_Return);
        QVERIFY(d->TXT_AMPLITUD_ESTIMULOS->hasFocus());
        QTest::keyClick(d->TXT_AMPLITUD_ESTIMULOS, Qt::Key_Return);
        QVERIFY(d->TXT_OFFSET_ESTIMULOS->hasFocus());
        d->TXT_OFFSET_ESTIMULOS->setText("-3");
        QTest::keyClick(d->TXT_OFFSET_ESTIMULOS, Qt::Key_Return);
        QVERIFY(d->TXT_OFFSET_ESTIMULOS->hasFocus());
        QCOMPARE(messages_, QStringList{"No es posible offset negativo"});
        QCOMPARE(d->TXT_OFFSET_ESTIMULOS->text(), QStringLiteral("0"));
    }

    // The click that leaves a wrong field only corrects it; the next one
    // acts on the corrected value.
    void aButtonActsOnTheCorrectedValue() {
        FrmDefinirOndas* d = dialog(WaveFrame::Periodic);
        QSignalSpy described(player_, &WavePlayer::described);
        QSignalSpy preview(player_, &WavePlayer::previewRequested);
        d->TXT_AMPLITUD_ONDA->setFocus();
        d->TXT_AMPLITUD_ONDA->setText("4096");
        QTest::mouseClick(d->CMD_ONDA[1], Qt::LeftButton);
        QCOMPARE(messages_.size(), 1);
        QCOMPARE(int(g().WaveLength), 0);
        QTest::mouseClick(d->CMD_ONDA[1], Qt::LeftButton);
        QCOMPARE(messages_.size(), 1);
        QCOMPARE(int(g().WaveLength), 100);
        QCOMPARE(int(g().WaveTable[1]), 4095);
        QCOMPARE(int(g().WaveTable[100]), 1);
        QVERIFY(player_->playing());
        QCOMPARE(described.last()[0].toString(), QStringLiteral("4094"));
        QCOMPARE(described.last()[2].toString(), QStringLiteral("5000"));
        QCOMPARE(preview.last()[0].toFloat(), 4.095f);
        QVERIFY(d->isVisible());
    }

    void stimulusButtons() {
        FrmDefinirOndas* d = dialog(WaveFrame::Stimulus);
        QSignalSpy described(player_, &WavePlayer::described);
        QTest::mouseClick(d->CMD_ESTIMULOS[0], Qt::LeftButton);
        QCOMPARE(int(g().WaveLength), 3);
        QCOMPARE(g().WaveOneShot, kTrue);
        QCOMPARE(described.last()[0].toString(), QStringLiteral("4000"));
        QCOMPARE(described.last()[2].toString(), QString());
        QTest::mouseClick(d->CMD_ESTIMULOS[2], Qt::LeftButton);
        QCOMPARE(described.last()[2].toString(), QStringLiteral("4000"));
        QTest::mouseClick(d->CMD_ESTIMULOS[3], Qt::LeftButton);
        QVERIFY(!d->isVisible());
        QCOMPARE(d->TXT_AMPLITUD_ESTIMULOS->text(), QStringLiteral("4000"));
    }

    void userSignalWithoutADrawingIsRefused() {
        FrmDefinirOndas* d = dialog(WaveFrame::User);
        g().WaveLength = 5;
        g().WaveTable[1] = 123;
        QTest::mouseClick(d->CMD_USUARIO[1], Qt::LeftButton);
        QCOMPARE(messages_, QStringList{"La señal dibujada no tiene amplitud"});
        QCOMPARE(int(g().WaveLength), 5);
        QCOMPARE(int(g().WaveTable[1]), 123);
        QVERIFY(!player_->playing());
        QVERIFY(player_->available());
    }

    void editorDrawsAndAcceptsOnTheCodeRange() {
        // The editor opened from the dialog, accepted after two clicks.
        FrmDefinirOndas* d = dialog(WaveFrame::User);
        QTimer::singleShot(0, [this] {
            FrmDefinirSenalesGraf* e = windows_->frmDefinirSenalesGrafLoaded();
            QVERIFY(e);
            QCOMPARE(e->PIC_TRAZADO->scaleTop(), 1000.0f * 4.095f);
            QCOMPARE(e->PIC_TRAZADO->scaleTop() + e->PIC_TRAZADO->scaleHeight(), -1000.0f);
            e->pressAt(40.0f, 1000.0f);
            e->pressAt(11.5f, 2000.0f);
            e->pressAt(11.0f, 0.0f);
            QCOMPARE(e->lbl_periodo->text(), QStringLiteral("550"));
            QCOMPARE(e->lbl_amplitud->text(), QStringLiteral(" 1000"));
            QCOMPARE(e->lbl_offset->text(), QStringLiteral(" 1500"));
            e->moveTo(3.0f, 5.0f);
            QCOMPARE(e->PIC_TRAZADO->cursor().shape(), Qt::ForbiddenCursor);
            QCOMPARE(e->Lbl_coor_X->text(), QStringLiteral("150"));
            e->moveTo(12.0f, 5.0f);
            QCOMPARE(e->PIC_TRAZADO->cursor().shape(), Qt::CrossCursor);
            e->chk_estimulo->setChecked(true);
            QTest::mouseClick(e->cmd_aceptar, Qt::LeftButton);
        });
        QTest::mouseClick(d->CMD_USUARIO[2], Qt::LeftButton);
        QCOMPARE(beeps_, 1);
        QCOMPARE(int(g().WaveLength), 11);
        QCOMPARE(g().WaveOneShot, kFalse);
        QCOMPARE(int(g().WaveTable[1]), 1001);
        QCOMPARE(int(g().WaveTable[11]), 2000);
        QVERIFY(player_->playing());
        QCOMPARE(d->TXT_PERIODO_USUARIO->text(), QStringLiteral("550"));
        QCOMPARE(g().PlotUpper, 3.0f);
        QCOMPARE(g().PlotLower, -1.0f);

        // Rescaled to twice the amplitude and period: the drawing stretched.
        d->TXT_AMPLITUD_USUARIO->setText("2000");
        d->TXT_PERIODO_USUARIO->setText("1100");
        QTest::mouseClick(d->CMD_USUARIO[1], Qt::LeftButton);
        QCOMPARE(beeps_, 2);
        QCOMPARE(int(g().WaveLength), 22);
        QCOMPARE(int(g().WaveTable[1]), 502);
        QVERIFY(player_->playing());
    }

    void editorClosedByItsFrameAcceptsNothing() {
        FrmDefinirOndas* d = dialog(WaveFrame::User);
        QTimer::singleShot(0, [this] {
            FrmDefinirSenalesGraf* e = windows_->frmDefinirSenalesGrafLoaded();
            e->pressAt(1.0f, 100.0f);
            e->pressAt(20.0f, 300.0f);
            e->close();
        });
        QSignalSpy cleared(player_, &WavePlayer::cleared);
        QTest::mouseClick(d->CMD_USUARIO[2], Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!windows_->frmDefinirSenalesGrafLoaded());
        QCOMPARE(int(g().WaveLength), 0);
        QCOMPARE(cleared.size(), 1);
        QVERIFY(!d->isVisible());
    }
};

QTEST_MAIN(TstGeneratorWindows)
#include "tst_generator_windows.moc"
