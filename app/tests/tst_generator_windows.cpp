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
#include "modal_guard.h"
#include "test_images.h"
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
        whileModal([this] {
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

    // The user frame takes a drawing's figures when the rules in force
    // accept them, or when the drawing was made for the largest code in
    // force; a drawing kept from another module gives the defaults instead,
    // which leaving the fields keeps without a message.
    void userFiguresFollowTheLargestCode_data() {
        QTest::addColumn<int>("drawnOn");
        QTest::addColumn<int>("shownOn");
        QTest::addColumn<float>("y1");
        QTest::addColumn<float>("y2");
        QTest::addColumn<QStringList>("fields");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("12-bit drawing, 8-bit module")
            << 2 << 0 << 1000.0f << 2000.0f << QStringList{"100", "128", "5000"} << QStringList{};
        QTest::newRow("8-bit drawing, texts of a 12-bit module")
            << 0 << 0 << 50.0f << 150.0f << QStringList{" 100", " 100", "550"} << QStringList{};
        QTest::newRow("flat drawing, same module")
            << 2 << 2 << 1000.0f << 1000.0f << QStringList{" 0", " 1000", "550"}
            << QStringList{"No es posible amplitud negativa ni 0"};
    }
    void userFiguresFollowTheLargestCode() {
        QFETCH(int, drawnOn);
        QFETCH(int, shownOn);
        QFETCH(float, y1);
        QFETCH(float, y2);
        QFETCH(QStringList, fields);
        QFETCH(QStringList, messages);
        // The dialog's texts are made for the 12-bit module.
        FrmDefinirOndas* d = dialog(WaveFrame::User);
        const auto accept = [&](bool draw) {
            whileModal([this, draw, y1, y2] {
                FrmDefinirSenalesGraf* e = windows_->frmDefinirSenalesGrafLoaded();
                QVERIFY(e);
                if (draw) {
                    e->pressAt(1.0f, y1);
                    e->pressAt(11.0f, y2);
                }
                QTest::mouseClick(e->cmd_aceptar, Qt::LeftButton);
            });
            QTest::mouseClick(d->CMD_USUARIO[2], Qt::LeftButton);
            QCoreApplication::processEvents();
        };
        g().ModuleType = int16_t(drawnOn);
        accept(true);
        if (shownOn != drawnOn) {
            // The drawing is kept; accepted again on the other module.
            g().ModuleType = int16_t(shownOn);
            accept(false);
        }
        QCOMPARE(d->MaxCode, waveMaxCode(moduleKindOf(g().ModuleType)));
        QCOMPARE((QStringList{d->TXT_AMPLITUD_USUARIO->text(), d->TXT_OFFSET_USUARIO->text(),
                              d->TXT_PERIODO_USUARIO->text()}),
                 fields);
        messages_.clear();
        for (QLineEdit* f : {d->TXT_AMPLITUD_USUARIO, d->TXT_OFFSET_USUARIO, d->TXT_PERIODO_USUARIO,
                             d->TXT_AMPLITUD_USUARIO}) {
            leave(f);
        }
        QCOMPARE(messages_, messages);
    }

    // Opens the editor from the user frame and runs steps in it; they end
    // by accepting or closing it (or the guard closes it).
    void inEditor(FrmDefinirOndas* d, std::function<void(FrmDefinirSenalesGraf*)> steps) {
        whileModal([this, steps] {
            FrmDefinirSenalesGraf* e = windows_->frmDefinirSenalesGrafLoaded();
            QVERIFY(e);
            steps(e);
        });
        QTest::mouseClick(d->CMD_USUARIO[2], Qt::LeftButton);
    }

    // "&Borrar" empties the area (its grid stays), the drawn signal, the
    // labels and the table; the next click is a first point again.
    void editorBorrarStartsAgain() {
        FrmDefinirOndas* d = dialog(WaveFrame::User);
        constexpr int32_t kTrace = 0x00FF00;
        bool checked = false;
        inEditor(d, [&](FrmDefinirSenalesGraf* e) {
            e->PIC_TRAZADO->setForeColor(kTrace);
            e->pressAt(1.0f, 1000.0f);
            e->pressAt(50.0f, 3000.0f);
            QVERIFY(hasColour(e->PIC_TRAZADO->shownImage(), kTrace));
            QTest::mouseClick(e->cmd_borrar, Qt::LeftButton);
            QVERIFY(!hasColour(e->PIC_TRAZADO->shownImage(), kTrace));
            QVERIFY(hasColour(e->PIC_TRAZADO->shownImage(), 0));
            for (QLabel* l : {e->lbl_periodo, e->lbl_offset, e->lbl_amplitud}) {
                QCOMPARE(l->text(), QStringLiteral("0"));
            }
            QCOMPARE(int(g().WaveLength), 0);
            for (int i = 1; i <= 50; ++i) QCOMPARE(g().DrawnSignal[size_t(i)], 0.0f);
            e->pressAt(20.0f, 500.0f);
            QCOMPARE(e->drawing().lastX(), int16_t(1));
            QCOMPARE(e->lbl_periodo->text(), QStringLiteral("50"));
            checked = true;
            // One point is no signal.
            QTest::mouseClick(e->cmd_aceptar, Qt::LeftButton);
        });
        QVERIFY(checked);
        QCOMPARE(int(g().WaveLength), 0);
        QVERIFY(!d->isVisible());
    }

    // The area runs from column 1 to 301 at its right edge: a click on its
    // last pixel is entry 300, and nothing lies past it.
    void editorReachesEntry300() {
        FrmDefinirOndas* d = dialog(WaveFrame::User);
        inEditor(d, [this](FrmDefinirSenalesGraf* e) {
            DrawingSurface* area = e->PIC_TRAZADO;
            QCOMPARE(area->scaleLeft(), 1.0f);
            QCOMPARE(area->scaleLeft() + area->scaleWidth(), 301.0f);
            e->pressAt(1.0f, 1000.0f);
            const QPoint lastPixel(area->width() - 1, area->height() / 2);
            QTest::mousePress(area, Qt::LeftButton, {}, lastPixel);
            QTest::mouseRelease(area, Qt::LeftButton, {}, lastPixel);
            QCOMPARE(e->drawing().lastX(), int16_t(300));
            QCOMPARE(e->lbl_periodo->text(), QStringLiteral("15000"));
            e->pressAt(400.0f, 0.0f);
            QCOMPARE(beeps_, 1);
            QTest::mouseClick(e->cmd_aceptar, Qt::LeftButton);
        });
        QCOMPARE(int(g().WaveLength), 300);
    }

    // "&Aceptar" only hides the editor: the next opening goes on after the
    // last point, and accepting again copies the whole drawing again.
    void editorContinuesAfterAccepting() {
        FrmDefinirOndas* d = dialog(WaveFrame::User);
        inEditor(d, [](FrmDefinirSenalesGraf* e) {
            e->pressAt(1.0f, 1000.0f);
            e->pressAt(11.0f, 2000.0f);
            QTest::mouseClick(e->cmd_aceptar, Qt::LeftButton);
        });
        QCOMPARE(int(g().WaveLength), 11);
        inEditor(d, [this](FrmDefinirSenalesGraf* e) {
            QCOMPARE(e->lbl_periodo->text(), QStringLiteral("550"));
            e->pressAt(5.0f, 0.0f);
            QCOMPARE(beeps_, 1);
            e->pressAt(21.0f, 1000.0f);
            QCOMPARE(e->lbl_periodo->text(), QStringLiteral("1050"));
            QTest::mouseClick(e->cmd_aceptar, Qt::LeftButton);
        });
        QCOMPARE(int(g().WaveLength), 21);
        QCOMPARE(int(g().WaveTable[1]), 1001);
        QCOMPARE(int(g().WaveTable[11]), 2000);
        QCOMPARE(int(g().WaveTable[21]), 1000);
        QCOMPARE(d->TXT_PERIODO_USUARIO->text(), QStringLiteral("1050"));
    }

    // Closed by its frame, the dialog is let go: the next showing starts
    // from the defaults. "&Salir" only hides it, with its texts.
    void closingByTheFrameBringsBackTheDefaults_data() {
        QTest::addColumn<bool>("byFrame");
        QTest::addColumn<QString>("period");
        QTest::newRow("frame") << true << "5000";
        QTest::newRow("Salir") << false << "2000";
    }
    void closingByTheFrameBringsBackTheDefaults() {
        QFETCH(bool, byFrame);
        QFETCH(QString, period);
        FrmDefinirOndas* d = dialog(WaveFrame::Periodic);
        d->TXT_PERIODO_ONDA->setText("2000");
        d->TXT_AMPLITUD_USUARIO->setText("1000");
        if (byFrame) {
            d->close();
        } else {
            QTest::mouseClick(d->CMD_ONDA[3], Qt::LeftButton);
        }
        QVERIFY(!d->isVisible());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(windows_->frmDefinirOndasLoaded() == nullptr, byFrame);
        d = dialog(WaveFrame::Periodic);
        QCOMPARE(d->TXT_PERIODO_ONDA->text(), period);
        QCOMPARE(d->TXT_AMPLITUD_USUARIO->text(), byFrame ? "1500" : "1000");
    }

    void editorClosedByItsFrameAcceptsNothing() {
        FrmDefinirOndas* d = dialog(WaveFrame::User);
        whileModal([this] {
            FrmDefinirSenalesGraf* e = windows_->frmDefinirSenalesGrafLoaded();
            QVERIFY(e);
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
