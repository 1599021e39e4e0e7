// SPDX-License-Identifier: GPL-3.0-or-later
// A box's check runs before any button acts, however the button is pressed
// (mouse, access key, Enter, Esc): first on a bare dialog, then in each
// window that has such boxes. A typed number reads "," and "." alike.
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include <memory>
#include <vector>

#include "acquisition/analog_output.h"
#include "common/prompts.h"
#include "common/title.h"
#include "core/tavo_library.h"
#include "generator/wave_player.h"
#include "test_program.h"
#include "widgets/focus_checks.h"
#include "windows/frm_configuracion.h"
#include "windows/frm_control.h"
#include "windows/frm_definir_ondas.h"
#include "windows/frm_registro.h"

namespace {

// How a press reaches a button, or the focus another control.
enum class Press { Mouse, MouseNoFocus, AccessKey, Enter, Esc, Tab, MouseOnBox };

// An access key presses its button a moment later, as a real one does.
void settle(Press how) {
    if (how == Press::AccessKey) QTest::qWait(200);
}

bool activate(QWidget* w) {
    w->show();
    w->activateWindow();
    return QTest::qWaitForWindowActive(w);
}

}  // namespace

Q_DECLARE_METATYPE(Press)

class TstFocusChecks : public QObject {
    Q_OBJECT

    std::vector<MessageRequest> messages_;
    int beeps_ = 0;
    QStringList saved_;
    std::unique_ptr<TestProgram> program_;

    void startProgram() {
        program_ = std::make_unique<TestProgram>();
        program_->library().setSearch(QCoreApplication::applicationDirPath() + "/standin", false);
        program_->frmControl();
        messages_.clear();
        beeps_ = 0;
    }

  private slots:
    void init() {
        messages_.clear();
        beeps_ = 0;
        saved_.clear();
        prompts::setMessageHook([this](const MessageRequest& m) { messages_.push_back(m); });
        prompts::setBeepHook([this] { ++beeps_; });
        prompts::setFileDialogHook([this](const FileDialogRequest& r) {
            saved_ << r.title;
            return QString();
        });
    }
    void cleanup() {
        program_.reset();
        prompts::setMessageHook({});
        prompts::setBeepHook({});
        prompts::setFileDialogHook({});
    }

    // The mechanism on a dialog of its own: a box whose check refuses "mal"
    // (and puts "bien" in its place), a default button that takes the focus
    // on a click, one that takes none, and another box.
    void pressRunsTheCheckFirst_data() {
        QTest::addColumn<Press>("how");
        QTest::addColumn<QString>("typed");
        for (const auto& [name, how] :
             std::vector<std::pair<const char*, Press>>{{"mouse", Press::Mouse},
                                                        {"mouse, no focus", Press::MouseNoFocus},
                                                        {"access key", Press::AccessKey},
                                                        {"Enter", Press::Enter},
                                                        {"Esc", Press::Esc},
                                                        {"Tab", Press::Tab},
                                                        {"mouse on a box", Press::MouseOnBox}}) {
            QTest::addRow("%s, refused", name) << how << "mal";
            QTest::addRow("%s, accepted", name) << how << "ok";
        }
    }
    void pressRunsTheCheckFirst() {
        QFETCH(Press, how);
        QFETCH(QString, typed);
        const bool refused = typed == "mal";
        QDialog dialog;
        auto* box = new QLineEdit(&dialog);
        auto* other = new QLineEdit(&dialog);
        auto* act = new QPushButton("&Hacer", &dialog);
        auto* quiet = new QPushButton("&Nada", &dialog);
        quiet->setFocusPolicy(Qt::NoFocus);
        act->setDefault(true);
        other->move(0, 40);
        act->move(0, 80);
        quiet->move(100, 80);
        int checks = 0;
        FocusChecks::of(box).watch(box, [&] {
            ++checks;
            if (box->text() != "mal") return true;
            box->setText("bien");
            return false;
        });
        QSignalSpy acted(act, &QPushButton::clicked);
        QSignalSpy quietActed(quiet, &QPushButton::clicked);
        QSignalSpy rejected(&dialog, &QDialog::rejected);
        QVERIFY(activate(&dialog));
        box->setFocus();
        QVERIFY(box->hasFocus());
        box->setText(typed);

        switch (how) {
            case Press::Mouse:
                QTest::mouseClick(act, Qt::LeftButton);
                break;
            case Press::MouseNoFocus:
                QTest::mouseClick(quiet, Qt::LeftButton);
                break;
            case Press::AccessKey:
                QTest::keyClick(box, Qt::Key_H, Qt::AltModifier);
                break;
            case Press::Enter:
                QTest::keyClick(box, Qt::Key_Return);
                break;
            case Press::Esc:
                QTest::keyClick(box, Qt::Key_Escape);
                break;
            case Press::Tab:
                QTest::keyClick(box, Qt::Key_Tab);
                break;
            case Press::MouseOnBox:
                QTest::mouseClick(other, Qt::LeftButton);
                break;
        }
        settle(how);

        QCOMPARE(checks >= 1, true);
        const int actions = int(acted.size() + quietActed.size() + rejected.size());
        if (refused) {
            QCOMPARE(checks, 1);
            QCOMPARE(actions, 0);
            QTRY_VERIFY(box->hasFocus());
            QCOMPARE(box->text(), QString("bien"));
            QCOMPARE(box->selectedText(), QString("bien"));
            QVERIFY(dialog.isVisible());
        } else {
            const bool pressesAButton = how != Press::Tab && how != Press::MouseOnBox;
            QCOMPARE(actions, pressesAButton ? 1 : 0);
            QCOMPARE(box->text(), QString("ok"));
            if (!pressesAButton) QVERIFY(!box->hasFocus());
        }
    }

    // Another window coming to the front, or a menu, is no leaving, unless
    // the box asks for every leaving.
    void whichLeavingChecks_data() {
        QTest::addColumn<bool>("everyLeaving");
        QTest::addColumn<int>("reason");
        QTest::addColumn<bool>("checked");
        QTest::newRow("another window") << false << int(Qt::ActiveWindowFocusReason) << false;
        QTest::newRow("a menu") << false << int(Qt::PopupFocusReason) << false;
        QTest::newRow("Tab") << false << int(Qt::TabFocusReason) << true;
        QTest::newRow("a click") << false << int(Qt::MouseFocusReason) << true;
        QTest::newRow("every leaving, another window")
            << true << int(Qt::ActiveWindowFocusReason) << true;
        QTest::newRow("every leaving, a menu") << true << int(Qt::PopupFocusReason) << true;
    }
    void whichLeavingChecks() {
        QFETCH(bool, everyLeaving);
        QFETCH(int, reason);
        QFETCH(bool, checked);
        QDialog dialog;
        auto* box = new QLineEdit(&dialog);
        int checks = 0;
        FocusChecks::of(box).watch(
            box,
            [&] {
                ++checks;
                return true;
            },
            everyLeaving);
        QFocusEvent out(QEvent::FocusOut, Qt::FocusReason(reason));
        QCoreApplication::sendEvent(box, &out);
        QCOMPARE(checks, checked ? 1 : 0);
    }

    // Configuration dialog: a scale of 0 is refused however "&Cerrar" or
    // "&Guardar" is pressed (Enter too); nothing is applied or saved and the
    // dialog stays.
    void configurationScale_data() {
        QTest::addColumn<Press>("how");
        QTest::addColumn<int>("key");
        QTest::newRow("Alt+C") << Press::AccessKey << int(Qt::Key_C);
        QTest::newRow("Alt+G") << Press::AccessKey << int(Qt::Key_G);
        QTest::newRow("mouse on Cerrar") << Press::Mouse << 0;
        QTest::newRow("Enter") << Press::Enter << 0;
    }
    void configurationScale() {
        QFETCH(Press, how);
        QFETCH(int, key);
        startProgram();
        FrmConfiguracion* d = program_->frmConfiguracion();
        QVERIFY(activate(d));
        d->TxtEscala->setFocus();
        d->TxtEscala->setText("0");
        if (how == Press::AccessKey) QTest::keyClick(d->TxtEscala, Qt::Key(key), Qt::AltModifier);
        if (how == Press::Mouse) QTest::mouseClick(d->BT_Cerrar, Qt::LeftButton);
        if (how == Press::Enter) QTest::keyClick(d->TxtEscala, Qt::Key_Return);
        settle(how);
        QCOMPARE(beeps_, 1);
        QVERIFY(program_->frmConfiguracionLoaded());
        QVERIFY(d->isVisible());
        QCOMPARE(d->TxtEscala->text(), QString("1"));
        QTRY_VERIFY(d->TxtEscala->hasFocus());
        QCOMPARE(program_->g.ScaleFactor, 1.0f);
        QCOMPARE(program_->g.PlotUpper, 2.5f);
        QVERIFY(saved_.isEmpty());
    }

    // A scale typed with either point is taken whole.
    void configurationScaleReadsEitherPoint_data() {
        QTest::addColumn<QString>("typed");
        QTest::newRow("comma") << "2,5";
        QTest::newRow("point") << "2.5";
    }
    void configurationScaleReadsEitherPoint() {
        QFETCH(QString, typed);
        startProgram();
        FrmConfiguracion* d = program_->frmConfiguracion();
        QVERIFY(activate(d));
        d->TxtEscala->setFocus();
        d->TxtEscala->setText(typed);
        QTest::keyClick(d->TxtEscala, Qt::Key_C, Qt::AltModifier);
        QTRY_VERIFY(!program_->frmConfiguracionLoaded());
        QCOMPARE(beeps_, 0);
        QCOMPARE(program_->g.ScaleFactor, 2.5f);
        QCOMPARE(program_->g.PlotUpper, 6.25f);
    }

    // Waveform dialog (12-bit): an amplitude too large is corrected with its
    // message and the button does not act; pressed again, it acts on the
    // corrected value. Esc, which hides the dialog, waits the same way.
    void waveformField_data() {
        QTest::addColumn<Press>("how");
        QTest::newRow("mouse") << Press::Mouse;
        QTest::newRow("access key") << Press::AccessKey;
        QTest::newRow("Esc") << Press::Esc;
        QTest::newRow("mouse on another field") << Press::MouseOnBox;
    }
    void waveformField() {
        QFETCH(Press, how);
        startProgram();
        program_->g.ModuleType = 2;
        program_->windows.showWaveDialog(WaveFrame::Periodic);
        FrmDefinirOndas* d = program_->windows.frmDefinirOndasLoaded();
        QVERIFY(activate(d));
        const auto press = [&] {
            if (how == Press::Mouse) QTest::mouseClick(d->CMD_ONDA[1], Qt::LeftButton);
            if (how == Press::AccessKey) {
                QTest::keyClick(d->TXT_AMPLITUD_ONDA, Qt::Key_C, Qt::AltModifier);
            }
            if (how == Press::Esc) QTest::keyClick(d->TXT_AMPLITUD_ONDA, Qt::Key_Escape);
            if (how == Press::MouseOnBox) QTest::mouseClick(d->TXT_PERIODO_ONDA, Qt::LeftButton);
            settle(how);
        };
        d->TXT_AMPLITUD_ONDA->setFocus();
        d->TXT_AMPLITUD_ONDA->setText("4096");
        press();
        QCOMPARE(messages_.size(), size_t(1));
        QCOMPARE(messages_[0].text, QString("Amplitud demasiado grande\r\nmáximo 4094"));
        // The program's title and no icon.
        QCOMPARE(messages_[0].title, appTitle());
        QCOMPARE(messages_[0].icon, QMessageBox::NoIcon);
        QCOMPARE(d->TXT_AMPLITUD_ONDA->text(), QString("4094"));
        // The focus goes back into the field, its text selected.
        QTRY_VERIFY(d->TXT_AMPLITUD_ONDA->hasFocus());
        QTRY_COMPARE(d->TXT_AMPLITUD_ONDA->selectedText(), QString("4094"));
        QCOMPARE(int(program_->g.WaveLength), 0);
        QVERIFY(d->isVisible());

        press();
        QCOMPARE(messages_.size(), size_t(1));
        if (how == Press::Esc) {
            QVERIFY(!d->isVisible());
        } else if (how == Press::MouseOnBox) {
            QVERIFY(d->TXT_PERIODO_ONDA->hasFocus());
        } else {
            QTRY_COMPARE(int(program_->g.WaveLength), 100);
            QCOMPARE(int(program_->g.WaveTable[1]), 4095);
        }
    }

    // Entering a field selects its whole text, however the focus came.
    void waveformFieldSelectsAllOnFocus_data() {
        QTest::addColumn<Press>("how");
        QTest::newRow("Tab") << Press::Tab;
        QTest::newRow("mouse") << Press::MouseOnBox;
    }
    void waveformFieldSelectsAllOnFocus() {
        QFETCH(Press, how);
        startProgram();
        program_->windows.showWaveDialog(WaveFrame::Stimulus);
        FrmDefinirOndas* d = program_->windows.frmDefinirOndasLoaded();
        QVERIFY(activate(d));
        d->TXT_AMPLITUD_ESTIMULOS->setFocus();
        d->TXT_OFFSET_ESTIMULOS->setText("12");
        if (how == Press::Tab) QTest::keyClick(d->TXT_AMPLITUD_ESTIMULOS, Qt::Key_Tab);
        if (how == Press::MouseOnBox) QTest::mouseClick(d->TXT_OFFSET_ESTIMULOS, Qt::LeftButton);
        QVERIFY(d->TXT_OFFSET_ESTIMULOS->hasFocus());
        QTRY_COMPARE(d->TXT_OFFSET_ESTIMULOS->selectedText(), QString("12"));
    }

    // A field typed with either point is read whole, then rounded as the
    // field rounds (halfway to the even neighbour).
    void waveformFieldReadsEitherPoint_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("amplitude");
        QTest::newRow("comma, rounds up") << "1999,5"
                                          << "2000";
        QTest::newRow("point, rounds up") << "1999.5"
                                          << "2000";
        QTest::newRow("comma, halfway to even") << "2000,5"
                                                << "2000";
        QTest::newRow("comma below half") << "1500,4"
                                          << "1500";
    }
    void waveformFieldReadsEitherPoint() {
        QFETCH(QString, typed);
        startProgram();
        program_->g.ModuleType = 2;
        program_->windows.showWaveDialog(WaveFrame::Periodic);
        FrmDefinirOndas* d = program_->windows.frmDefinirOndasLoaded();
        QVERIFY(activate(d));
        QSignalSpy described(&program_->wavePlayer(), &WavePlayer::described);
        d->TXT_AMPLITUD_ONDA->setFocus();
        d->TXT_AMPLITUD_ONDA->setText(typed);
        QTest::mouseClick(d->CMD_ONDA[0], Qt::LeftButton);
        QVERIFY(messages_.empty());
        QVERIFY(!described.isEmpty());
        QTEST(described.last()[0].toString(), "amplitude");
    }

    // Generator panel: the output typed in units is taken before a button
    // acts, also when an access key presses it.
    void generatorPanelTakesTheTypedOutput_data() {
        QTest::addColumn<Press>("how");
        QTest::addColumn<QString>("typed");
        QTest::newRow("access key, comma") << Press::AccessKey << "1,5";
        QTest::newRow("access key, point") << Press::AccessKey << "1.5";
        QTest::newRow("mouse, comma") << Press::Mouse << "1,5";
    }
    void generatorPanelTakesTheTypedOutput() {
        QFETCH(Press, how);
        QFETCH(QString, typed);
        startProgram();
        FrmControl* w = program_->frmControl();
        QVERIFY(activate(w));
        w->Txt_salanal->setFocus();
        w->Txt_salanal->setText(typed);
        if (how == Press::AccessKey) QTest::keyClick(w->Txt_salanal, Qt::Key_B, Qt::AltModifier);
        if (how == Press::Mouse) QTest::mouseClick(w->CMD_borrar_onda, Qt::LeftButton);
        settle(how);
        // 1.5 V of 2.5 V on 255 codes.
        QCOMPARE(int(program_->analogOutput().AnalogOutValue()), 153);
        QCOMPARE(w->HSr_salanal->value(), 153);
    }

    // Plot window's configure panel: the limits typed with either point,
    // applied by an access key or a click.
    void plotLimitsReadEitherPoint_data() {
        QTest::addColumn<Press>("how");
        QTest::addColumn<QString>("upper");
        QTest::addColumn<QString>("lower");
        QTest::newRow("access key, commas") << Press::AccessKey << " 2,5"
                                            << "-0,5";
        QTest::newRow("mouse, points") << Press::Mouse << "2.5"
                                       << "-.5";
    }
    void plotLimitsReadEitherPoint() {
        QFETCH(Press, how);
        QFETCH(QString, upper);
        QFETCH(QString, lower);
        startProgram();
        FrmRegistro* p = program_->frmRegistro();
        QVERIFY(activate(p));
        p->BT_Configurar->click();
        QVERIFY(p->MRC_Configurar->isVisible());
        p->TXT_LSuperior->setFocus();
        p->TXT_LSuperior->setText(upper);
        p->TXT_Linferior->setText(lower);
        if (how == Press::AccessKey) QTest::keyClick(p->TXT_LSuperior, Qt::Key_A, Qt::AltModifier);
        if (how == Press::Mouse) QTest::mouseClick(p->BT_Aplicar, Qt::LeftButton);
        settle(how);
        QVERIFY(!p->MRC_Configurar->isVisible());
        QCOMPARE(program_->g.PlotUpper, 2.5f);
        QCOMPARE(program_->g.PlotLower, -0.5f);
    }
};

QTEST_MAIN(TstFocusChecks)
#include "tst_focus_checks.moc"
