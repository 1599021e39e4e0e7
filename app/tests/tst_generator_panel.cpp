// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's generator panel with the generator's windows behind it,
// on the simulated bench.
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include "acquisition/analog_output.h"
#include "common/prompts.h"
#include "core/session.h"
#include "core/settings_model.h"
#include "core/tavo_library.h"
#include "display/drawing_surface.h"
#include "modal_guard.h"
#include "test_program.h"
#include "widgets/colours.h"
#include "windows/frm_control.h"
#include "windows/frm_definir_ondas.h"
#include "windows/frm_definir_senales_graf.h"

namespace {
template <typename W>
W* topLevel(const char* name) {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == QString::fromUtf8(name)) return qobject_cast<W*>(w);
    }
    return nullptr;
}
int painted(const QImage& image, QRgb colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) n += image.pixel(x, y) == colour;
    return n;
}
}  // namespace

class TstGeneratorPanel : public QObject {
    Q_OBJECT

    QTemporaryDir workDir_;
    QString previousDir_;
    QStringList messages_;

    std::unique_ptr<TestProgram> start() {
        auto ctx = std::make_unique<TestProgram>();
        ctx->library().setSearch(QCoreApplication::applicationDirPath(), false);
        ctx->frmControl();
        return ctx;
    }

  private slots:
    void init() {
        previousDir_ = QDir::currentPath();
        QDir::setCurrent(workDir_.path());
        messages_.clear();
        prompts::setMessageHook([this](const MessageRequest& r) { messages_ << r.text; });
        prompts::setBeepHook([] {});
    }
    void cleanup() {
        prompts::setMessageHook({});
        prompts::setBeepHook({});
        QDir::setCurrent(previousDir_);
    }

    void periodicWavePlaysOnTheOutputControls() {
        auto ctx = start();
        FrmControl* w = ctx->frmControl();
        w->cmd_gen[0]->click();
        auto* d = topLevel<FrmDefinirOndas>("FRM_DEFINIR_ONDAS");
        QVERIFY(d && d->isVisible() && d->MRC_ONDAS->isVisible());
        QVERIFY(!d->MRC_USUARIO->isVisible());
        d->CMD_ONDA[2]->click();
        QVERIFY(w->Chk_onda->isEnabled() && w->Chk_onda->isChecked());
        QVERIFY(!w->HSr_salanal->isEnabled() && !w->Txt_salanal->isEnabled());
        QCOMPARE(w->LBL_AMPLITUD_ONDA->text(), QStringLiteral("100"));
        QCOMPARE(w->LBL_OFFSET_ONDA->text(), QStringLiteral("128"));
        QCOMPARE(w->LBL_PERIODO_ONDA->text(), QStringLiteral("5000"));
        QVERIFY(ctx->g.Colores[4][1] != ctx->g.Colores[5][1]);
        QVERIFY(painted(w->pic_onda->persistentImage(), toQColor(ctx->g.Colores[4][1]).rgb()) >
                100);
        // The bar and the text follow what playback writes.
        QVERIFY(QTest::qWaitFor([&] { return ctx->g.AnalogOutValue > 80; }, 3000));
        QCOMPARE(w->HSr_salanal->value(), int(ctx->g.AnalogOutValue));
        QCOMPARE(w->Txt_salanal->text(), ctx->analogOutput().text());
        QCOMPARE(ctx->g.PlotUpper, 2.5f);

        w->Chk_onda->setChecked(false);
        QVERIFY(!w->Tmr_onda->isActive());
        QVERIFY(w->HSr_salanal->isEnabled());
        w->Chk_onda->setChecked(true);
        QCOMPARE(int(ctx->g.WaveIndex), 1);
        QVERIFY(w->Tmr_onda->isActive());

        // "&Borrar" while playing: the output keeps the value last played,
        // well above 0 on this wave.
        QVERIFY(QTest::qWaitFor([&] { return ctx->g.AnalogOutValue > 80; }, 3000));
        const int16_t kept = ctx->g.AnalogOutValue;
        w->CMD_borrar_onda->click();
        QVERIFY(!w->Chk_onda->isChecked() && !w->Chk_onda->isEnabled());
        QVERIFY(!w->Tmr_onda->isActive());
        QVERIFY(w->LBL_AMPLITUD_ONDA->text().isEmpty() && w->LBL_PERIODO_ONDA->text().isEmpty());
        QVERIFY(w->lbl_per_real_onda->text().isEmpty());
        QCOMPARE(int(ctx->g.WaveLength), 0);
        QTest::qWait(200);
        QCOMPARE(ctx->g.AnalogOutValue, kept);
        QCOMPARE(w->HSr_salanal->value(), int(kept));
    }

    void impulseShowsItsPassTime() {
        auto ctx = start();
        FrmControl* w = ctx->frmControl();
        w->cmd_gen[1]->click();
        auto* d = topLevel<FrmDefinirOndas>("FRM_DEFINIR_ONDAS");
        QVERIFY(d->MRC_ESTIMULOS->isVisible() && !d->MRC_ONDAS->isVisible());
        d->CMD_ESTIMULOS[0]->click();
        QVERIFY(QTest::qWaitFor([&] { return !w->Chk_onda->isChecked(); }, 3000));
        QVERIFY(w->Chk_onda->isEnabled());
        QCOMPARE(int(ctx->g.AnalogOutValue), 0);
        QCOMPARE(w->HSr_salanal->value(), 0);
        const int ms = w->lbl_per_real_onda->text().toInt();
        QVERIFY2(ms >= 140 && ms < 400, qPrintable(w->lbl_per_real_onda->text()));
        QVERIFY(w->LBL_PERIODO_ONDA->text().isEmpty());
    }

    void userSignalLeavesThePlotLimits() {
        auto ctx = start();
        FrmControl* w = ctx->frmControl();
        ctx->g.PlotUpper = 2.0f;
        ctx->g.PlotLower = 0.0f;
        bool editorRange = false;
        whileModal([&] {
            auto* e = topLevel<FrmDefinirSenalesGraf>("FRM_DEFINIR_SEÑALES_GRAF");
            QVERIFY(e);
            editorRange = e->PIC_TRAZADO->scaleTop() == 250.0f;
            e->pressAt(1.0f, 50.0f);
            e->pressAt(41.0f, 150.0f);
            // Then the dialog, modal, shows the user frame: leave it.
            whileModal([] {
                auto* d = topLevel<FrmDefinirOndas>("FRM_DEFINIR_ONDAS");
                QVERIFY(d && d->MRC_USUARIO->isVisible());
                QCOMPARE(d->TXT_PERIODO_USUARIO->text(), QStringLiteral("2050"));
                d->CMD_USUARIO[0]->click();
            });
            e->cmd_aceptar->click();
        });
        w->cmd_gen[2]->click();
        QVERIFY(editorRange);
        QCOMPARE(int(ctx->g.WaveLength), 41);
        QVERIFY(w->Chk_onda->isChecked());
        QCOMPARE(w->LBL_PERIODO_ONDA->text(), QStringLiteral("2050"));
        QCOMPARE(w->LBL_AMPLITUD_ONDA->text(), QStringLiteral(" 100"));
        QCOMPARE(ctx->g.PlotUpper, 2.0f);
        QCOMPARE(ctx->g.PlotLower, 0.0f);
    }

    // A periodic wave playing, its preview drawn; the dialog hidden.
    static void playPeriodic(TestProgram& ctx) {
        FrmControl* w = ctx.frmControl();
        w->cmd_gen[0]->click();
        auto* d = topLevel<FrmDefinirOndas>("FRM_DEFINIR_ONDAS");
        QVERIFY(d);
        d->CMD_ONDA[0]->click();
        d->CMD_ONDA[3]->click();
        QVERIFY(w->Chk_onda->isChecked());
    }
    static int previewTrace(TestProgram& ctx) {
        return painted(ctx.frmControl()->pic_onda->shownImage(),
                       toQColor(ctx.g.Colores[4][1]).rgb());
    }

    // Starting a recording recolours the preview, which clears it: the wave
    // still playing is drawn again.
    void recordingKeepsThePreview() {
        auto ctx = start();
        FrmControl* w = ctx->frmControl();
        playPeriodic(*ctx);
        QVERIFY(previewTrace(*ctx) > 100);
        w->cmd_inic->click();
        QVERIFY(ctx->g.Recording != kFalse);
        QVERIFY(w->Chk_onda->isChecked());
        QVERIFY(previewTrace(*ctx) > 100);
        w->cmd_inic->click();
        // With nothing to play, a recording leaves the preview empty.
        w->CMD_borrar_onda->click();
        w->cmd_inic->click();
        QCOMPARE(previewTrace(*ctx), 0);
        w->cmd_inic->click();
    }

    // The colour dialog from the menu draws the preview again as it was
    // drawn, on the converter's full scale, whatever the plot's limits.
    void colourDialogRedrawsThePreviewAsItWas() {
        auto ctx = start();
        FrmControl* w = ctx->frmControl();
        playPeriodic(*ctx);
        const QImage before = w->pic_onda->shownImage();
        ctx->settings().setPlotLimits(-5.0f, 10.0f, 255);
        whileModal([] {});
        w->MN_Colores->trigger();
        QVERIFY(previewTrace(*ctx) > 100);
        QCOMPARE(w->pic_onda->shownImage(), before);
    }

    // The editor's load (its first opening) or its "&Borrar" empties the
    // table; closed by its frame afterwards, the panel shows the empty
    // state, as its own "&Borrar" does.
    void emptiedTableShowsTheEmptyState_data() {
        QTest::addColumn<bool>("borrar");
        QTest::newRow("first opening") << false;
        QTest::newRow("Borrar in the editor") << true;
    }
    void emptiedTableShowsTheEmptyState() {
        QFETCH(bool, borrar);
        auto ctx = start();
        FrmControl* w = ctx->frmControl();
        if (borrar) {
            // A drawing accepted, then the dialog left.
            whileModal([] {
                auto* e = topLevel<FrmDefinirSenalesGraf>("FRM_DEFINIR_SEÑALES_GRAF");
                QVERIFY(e);
                e->pressAt(1.0f, 50.0f);
                e->pressAt(41.0f, 150.0f);
                whileModal([] {
                    auto* d = topLevel<FrmDefinirOndas>("FRM_DEFINIR_ONDAS");
                    QVERIFY(d);
                    d->CMD_USUARIO[0]->click();
                });
                e->cmd_aceptar->click();
            });
            w->cmd_gen[2]->click();
        } else {
            playPeriodic(*ctx);
        }
        QVERIFY(w->Chk_onda->isChecked() && previewTrace(*ctx) > 100);
        QVERIFY(!w->LBL_AMPLITUD_ONDA->text().isEmpty());
        whileModal([borrar] {
            auto* e = topLevel<FrmDefinirSenalesGraf>("FRM_DEFINIR_SEÑALES_GRAF");
            QVERIFY(e);
            if (borrar) e->cmd_borrar->click();
            e->close();
        });
        w->cmd_gen[2]->click();
        QCOMPARE(int(ctx->g.WaveLength), 0);
        QVERIFY(!w->Chk_onda->isChecked());
        QVERIFY(!w->Chk_onda->isEnabled());
        QCOMPARE(previewTrace(*ctx), 0);
        for (QLabel* l : {w->LBL_AMPLITUD_ONDA, w->LBL_OFFSET_ONDA, w->LBL_PERIODO_ONDA}) {
            QVERIFY2(l->text().isEmpty(), qPrintable(l->objectName()));
        }
    }

    // "Tiempo real" is emptied by the periodic frame's buttons, "&Salir"
    // included, and by every new playback.
    void passTimeEmptied_data() {
        QTest::addColumn<int>("button");
        QTest::newRow("Salir") << 3;
        QTest::newRow("Cuadrada") << 1;
        QTest::newRow("Generar ticked") << -1;
    }
    void passTimeEmptied() {
        QFETCH(int, button);
        auto ctx = start();
        FrmControl* w = ctx->frmControl();
        playPeriodic(*ctx);
        w->Chk_onda->setChecked(false);
        w->lbl_per_real_onda->setText("4998");
        if (button < 0) {
            w->Chk_onda->setChecked(true);
        } else {
            // Shown again as it was, without the panel's own clearing.
            ctx->windows.showWaveDialog(WaveFrame::Periodic);
            auto* d = topLevel<FrmDefinirOndas>("FRM_DEFINIR_ONDAS");
            QVERIFY(d && d->isVisible());
            QCOMPARE(w->lbl_per_real_onda->text(), QStringLiteral("4998"));
            d->CMD_ONDA[size_t(button)]->click();
        }
        QVERIFY(w->lbl_per_real_onda->text().isEmpty());
    }

    void editorClosedByItsFrameLeavesTheGeneratorOff() {
        auto ctx = start();
        FrmControl* w = ctx->frmControl();
        whileModal([] {
            auto* e = topLevel<FrmDefinirSenalesGraf>("FRM_DEFINIR_SEÑALES_GRAF");
            QVERIFY(e);
            e->pressAt(1.0f, 50.0f);
            e->pressAt(41.0f, 150.0f);
            e->close();
        });
        w->cmd_gen[2]->click();
        QVERIFY(!w->Chk_onda->isChecked() && !w->Chk_onda->isEnabled());
        QCOMPARE(int(ctx->g.WaveLength), 0);
        QVERIFY(!topLevel<FrmDefinirOndas>("FRM_DEFINIR_ONDAS"));
    }
};

QTEST_MAIN(TstGeneratorPanel)
#include "tst_generator_panel.moc"
