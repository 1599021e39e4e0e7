// SPDX-License-Identifier: GPL-3.0-or-later
// The configuration dialog against the simulated bench, whose default set-up
// has an 8-bit converter at 378H address 0 and nothing on 278H or 3BCH.
#include <QtTest>

#include <memory>
#include <vector>

#include "acquisition/recorder.h"
#include "common/prompts.h"
#include "common/title.h"
#include "config/config_file.h"
#include "core/settings_model.h"
#include "display/drawing_surface.h"
#include "display/mode_pictures.h"
#include "test_program.h"
#include "windows/frm_colores.h"
#include "windows/frm_configuracion.h"
#include "windows/frm_control.h"
#include "windows/frm_registro.h"

namespace {
const QString kNoModuleOnPort = "Atención en este Puerto no se encuentra ningún módulo";
const QString kNoModuleAtAddress = "Atención en esta dirección no se encuentra ningún módulo";
}  // namespace

class TstConfigDialog : public QObject {
    Q_OBJECT
  private:
    std::unique_ptr<QTemporaryDir> dir_;
    QString oldDir_;
    std::vector<MessageRequest> messages_;
    int beeps_ = 0;
    std::unique_ptr<TestProgram> ctx_;

    // Starts the program; what start-up said is dropped unless asked for
    // (without a Config.CFG it always says so).
    void start(bool keepMessages = false) {
        ctx_ = std::make_unique<TestProgram>();
        ctx_->frmControl();
        if (!keepMessages) messages_.clear();
    }
    FrmControl* control() { return ctx_->frmControl(); }
    FrmRegistro* plot() { return ctx_->frmRegistro(); }
    FrmConfiguracion* dialog() { return ctx_->frmConfiguracion(); }
    int count(const QString& text) const {
        int n = 0;
        for (const MessageRequest& m : messages_) n += m.text == text ? 1 : 0;
        return n;
    }

  private slots:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        oldDir_ = QDir::currentPath();
        QDir::setCurrent(dir_->path());
        messages_.clear();
        beeps_ = 0;
        prompts::setMessageHook([this](const MessageRequest& m) { messages_.push_back(m); });
        prompts::setBeepHook([this] { ++beeps_; });
    }
    void cleanup() {
        ctx_.reset();
        prompts::setMessageHook({});
        prompts::setFileDialogHook({});
        prompts::setBeepHook({});
        QDir::setCurrent(oldDir_);
        dir_.reset();
    }

    // The start-up reads a file naming an 8-bit type on 278H, where nothing
    // answers: taking the module set-up checks the module there and says so,
    // and the dialog selects that port.
    void loadOnSilentPortWarns() {
        QFile cfg("Config.CFG");
        QVERIFY(cfg.open(QIODevice::WriteOnly));
        cfg.write(
            "0,100,50,632,0,0,1,\"V\"\r\n1,1,1,1,1\r\n"
            "16711680,16777215,65280,0,255,16777215,16776960,0,16711935,16777215\r\n"
            "#TRUE#,#FALSE#,1,1,0\r\n0,1\r\n16711680,65280,255,16776960,16711935,16777215\r\n"
            "16777215,0,16777215,0,16777215,0\r\n#FALSE#,#FALSE#,#TRUE#,#FALSE#\r\n"
            "\"DATOS.DAT\"\r\n");
        cfg.close();
        start(true);
        QCOMPARE(count(kNoModuleOnPort), 1);
        for (const MessageRequest& m : messages_) {
            if (m.text != kNoModuleOnPort) continue;
            QCOMPARE(m.title, QString("Error de comunicación"));
            QCOMPARE(m.icon, QMessageBox::Information);
        }
        QCOMPARE(ctx_->g.PortBase, int16_t(632));
        QVERIFY(dialog()->OPT_PUERTO[1]->isChecked());
        QVERIFY(dialog()->OPT_TIPO[2]->isChecked());
        QCOMPARE(control()->LB_MODO->text(), QString("AD8 M=0"));
    }

    // "&Leer" with the dialog closed: the file's set-up is taken without a
    // window, a silent port is said once, and the dialog opened afterwards
    // shows that set-up without checking again.
    void readingWithTheDialogClosedNeedsNoDialog_data() {
        QTest::addColumn<QByteArray>("moduleLine");
        QTest::addColumn<int>("said");
        QTest::newRow("8-bit on silent 278H") << QByteArray("0,100,50,632,0,3,1,\"V\"") << 1;
        QTest::newRow("8-bit on 378H") << QByteArray("0,100,50,888,0,3,1,\"V\"") << 0;
        // A port the dialog does not offer is not checked.
        QTest::newRow("8-bit on port 123") << QByteArray("0,100,50,123,0,3,1,\"V\"") << 0;
    }
    void readingWithTheDialogClosedNeedsNoDialog() {
        QFETCH(QByteArray, moduleLine);
        QFETCH(int, said);
        start();
        dialog()->BT_Cerrar->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!ctx_->frmConfiguracionLoaded());
        QFile cfg("otro.CFG");
        QVERIFY(cfg.open(QIODevice::WriteOnly));
        cfg.write(moduleLine +
                  "\r\n1,1,1,1,1\r\n"
                  "16711680,16777215,65280,0,255,16777215,16776960,0,16711935,16777215\r\n"
                  "#TRUE#,#FALSE#,1,1,0\r\n0,1\r\n"
                  "16711680,65280,255,16776960,16711935,16777215\r\n"
                  "16777215,0,16777215,0,16777215,0\r\n#FALSE#,#FALSE#,#TRUE#,#FALSE#\r\n"
                  "\"DATOS.DAT\"\r\n");
        cfg.close();
        messages_.clear();
        QVERIFY(LoadConfiguration(*ctx_, "otro.CFG"));
        QVERIFY(!ctx_->frmConfiguracionLoaded());
        QCOMPARE(count(kNoModuleOnPort), said);
        QCOMPARE(control()->LB_MODO->text(), QString("AD8 M=0"));
        QCOMPARE(ctx_->g.InputMode, int16_t(0));
        // The dialog opened now shows the file's set-up and checks nothing.
        QVERIFY(dialog()->OPT_TIPO[2]->isChecked());
        QCOMPARE(dialog()->OPT_PUERTO[1]->isChecked(), moduleLine.contains(",632,"));
        QCOMPARE(count(kNoModuleOnPort), said);
    }

    void typeAndModeShowTheirChannels_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("button");
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("channels");
        QTest::addColumn<QString>("caption");
        QTest::newRow("ADT mode 0") << 0 << 0 << 0 << 4 << "ADT M=0";
        QTest::newRow("ADQ mode 1") << 1 << 1 << 1 << 3 << "ADQ M=1";
        QTest::newRow("AD8 mode 2") << 2 << 2 << 2 << 3 << "AD8 M=2";
        QTest::newRow("AD8 mode 3") << 2 << 3 << 3 << 2 << "AD8 M=3";
        QTest::newRow("AD12 single-ended") << 3 << 0 << 0 << 4 << "AD12 M=0";
        QTest::newRow("AD12 differential") << 3 << 3 << 1 << 2 << "AD12 M=1";
    }
    void typeAndModeShowTheirChannels() {
        QFETCH(int, type);
        QFETCH(int, button);
        QFETCH(int, mode);
        QFETCH(int, channels);
        QFETCH(QString, caption);
        start();
        // Start from another type in a mode that hides channels, so that
        // choosing the type shows and ticks them again.
        dialog()->OPT_TIPO[type == 2 ? 1 : 2]->setChecked(true);
        dialog()->BT_NUEVO_MODO_Click(3);
        dialog()->OPT_TIPO[size_t(type)]->setChecked(true);
        QCOMPARE(ctx_->g.InputMode, int16_t(0));
        dialog()->BT_NUEVO_MODO[size_t(button)]->click();

        QCOMPARE(ctx_->g.ModuleType, int16_t(type == 3 ? 2 : 0));
        QCOMPARE(int(ctx_->g.InputMode), mode);
        QCOMPARE(control()->LB_MODO->text(), caption);
        for (size_t i = 0; i < 4; ++i) {
            const bool shown = int(i) < channels;
            QCOMPARE(!control()->CHK_VIS[i]->isHidden(), shown);
            QCOMPARE(!control()->Lbl_Vis[i]->isHidden(), shown);
            QCOMPARE(!control()->LBUnidades[i]->isHidden(), shown);
            QCOMPARE(!plot()->opt_x[i]->isHidden(), shown);
            QCOMPARE(!plot()->opt_y[i]->isHidden(), shown);
            QCOMPARE(control()->CHK_VIS[i]->isChecked(), shown);
        }
        const int picture = channels == 2 ? 3 : (channels == 4 ? 0 : mode);
        QCOMPARE(control()->IMG_Modo->pixmap().toImage(), modePicture(picture).toImage());
        QVERIFY(messages_.empty());
    }

    // A mode chosen after another within one type: channels the new mode
    // shows come back, and only the 12-bit single-ended mode ticks channel
    // 3 again (bits: channel 0 is 1, channel 3 is 8).
    void modeAfterAnotherMode_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<QList<int>>("buttons");
        QTest::addColumn<int>("shown");
        QTest::addColumn<int>("ticked");
        QTest::newRow("AD12 mode 0 after mode 3") << 3 << QList<int>{3, 0} << 0xF << 0xB;
        QTest::newRow("AD12 mode 3 after mode 0") << 3 << QList<int>{0, 3} << 0x3 << 0x3;
        QTest::newRow("AD8 mode 0 after mode 3") << 2 << QList<int>{3, 0} << 0xF << 0x3;
        QTest::newRow("AD8 mode 1 after mode 3") << 2 << QList<int>{3, 1} << 0x7 << 0x3;
        QTest::newRow("AD8 mode 3 after mode 2") << 2 << QList<int>{2, 3} << 0x3 << 0x3;
    }
    void modeAfterAnotherMode() {
        QFETCH(int, type);
        QFETCH(QList<int>, buttons);
        QFETCH(int, shown);
        QFETCH(int, ticked);
        start();
        dialog()->OPT_TIPO[size_t(type)]->setChecked(true);
        for (const int b : buttons) dialog()->BT_NUEVO_MODO[size_t(b)]->click();
        for (size_t i = 0; i < 4; ++i) {
            QCOMPARE(!control()->CHK_VIS[i]->isHidden(), bool(shown & (1 << i)));
            QCOMPARE(!plot()->opt_x[i]->isHidden(), bool(shown & (1 << i)));
            QCOMPARE(control()->CHK_VIS[i]->isChecked(), bool(ticked & (1 << i)));
        }
    }

    void ad12LeavesTwoModesAndThreeAddresses() {
        start();
        dialog()->OPT_TIPO[3]->setChecked(true);
        QVERIFY(!dialog()->BT_NUEVO_MODO[0]->isHidden());
        QVERIFY(dialog()->BT_NUEVO_MODO[1]->isHidden());
        QVERIFY(dialog()->BT_NUEVO_MODO[2]->isHidden());
        QVERIFY(!dialog()->BT_NUEVO_MODO[3]->isHidden());
        QCOMPARE(dialog()->cmb_pastilla->count(), 3);
        QCOMPARE(dialog()->cmb_pastilla->itemText(2), QString("2"));
        QCOMPARE(control()->LB_MODO->property("Tag").toString(), QString("3"));

        dialog()->OPT_TIPO[0]->setChecked(true);
        for (QPushButton* b : dialog()->BT_NUEVO_MODO) QVERIFY(!b->isHidden());
        QCOMPARE(dialog()->cmb_pastilla->count(), 8);
        QCOMPARE(dialog()->cmb_pastilla->itemText(7), QString("7"));
    }

    void fewerChannelsMoveTheXYAxes_data() {
        QTest::addColumn<int>("button");
        QTest::addColumn<int>("xFrom");
        QTest::addColumn<int>("yFrom");
        QTest::addColumn<int>("xTo");
        QTest::addColumn<int>("yTo");
        QTest::newRow("mode 3, X on 3") << 3 << 3 << 4 << 0 << 4;
        QTest::newRow("mode 1, X on 3, Y on 2") << 1 << 3 << 2 << 0 << 2;
        QTest::newRow("mode 2, Y on 3") << 2 << 1 << 3 << 1 << 1;
    }
    void fewerChannelsMoveTheXYAxes() {
        QFETCH(int, button);
        QFETCH(int, xFrom);
        QFETCH(int, yFrom);
        QFETCH(int, xTo);
        QFETCH(int, yTo);
        start();
        dialog()->OPT_TIPO[2]->setChecked(true);
        ctx_->g.XYChannelX = int16_t(xFrom);
        ctx_->g.XYChannelY = int16_t(yFrom);
        plot()->opt_x[size_t(xFrom)]->setChecked(true);
        plot()->opt_y[size_t(yFrom)]->setChecked(true);
        dialog()->BT_NUEVO_MODO_Click(button);
        QCOMPARE(int(ctx_->g.XYChannelX), xTo);
        QCOMPARE(int(ctx_->g.XYChannelY), yTo);
        QVERIFY(plot()->opt_x[size_t(xTo)]->isChecked());
        QVERIFY(plot()->opt_y[size_t(yTo)]->isChecked());
    }

    void addressBox() {
        start();
        dialog()->OPT_TIPO[2]->setChecked(true);
        QLineEdit* edit = dialog()->cmb_pastilla->lineEdit();
        QVERIFY(edit);

        edit->setText("3");
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(ctx_->g.ModuleAddress, int16_t(3));
        QCOMPARE(count(kNoModuleAtAddress), 1);
        QCOMPARE(messages_.back().title, appTitle());
        QCOMPARE(messages_.back().icon, QMessageBox::Information);

        // 0 (or anything outside 1 to 7) typed with Enter keeps the address.
        for (const char* typed : {"0", "9", "x"}) {
            edit->setText(typed);
            QTest::keyClick(edit, Qt::Key_Return);
            QCOMPARE(ctx_->g.ModuleAddress, int16_t(3));
            QCOMPARE(dialog()->cmb_pastilla->currentText(), QString("3"));
            QCOMPARE(edit->selectedText(), QString("3"));
        }

        // Leaving the box after Enter (as the message box itself makes it
        // do) or after typing an item's text runs no address change.
        messages_.clear();
        edit->setText("5");
        QTest::keyClick(edit, Qt::Key_Return);
        QFocusEvent away(QEvent::FocusOut, Qt::TabFocusReason);
        QCoreApplication::sendEvent(dialog()->cmb_pastilla, &away);
        QCOMPARE(count(kNoModuleAtAddress), 1);
        edit->setText("0");
        QCoreApplication::sendEvent(dialog()->cmb_pastilla, &away);
        QCOMPARE(ctx_->g.ModuleAddress, int16_t(5));
        QCOMPARE(count(kNoModuleAtAddress), 1);

        // Picking an entry of the list takes it, 0 included.
        messages_.clear();
        dialog()->cmb_pastilla->setCurrentIndex(0);
        emit dialog()->cmb_pastilla->activated(0);
        QCOMPARE(ctx_->g.ModuleAddress, int16_t(0));
        QVERIFY(messages_.empty());
    }

    // The colour dialog holds the sampling while open; afterwards the
    // recording resumes (from the configuration dialog) or ends (from the
    // menu), and the plot area and the preview take the new colour.
    void colourDialogAroundARecording_data() {
        QTest::addColumn<bool>("fromMenu");
        QTest::newRow("configuration dialog") << false;
        QTest::newRow("menu") << true;
    }
    void colourDialogAroundARecording() {
        QFETCH(bool, fromMenu);
        start();
        ctx_->settings().setRecordingOptions(true, false, CheckValue::Unchecked);
        Recorder& rec = ctx_->recorder();
        rec.StartStopRecording();
        QVERIFY(rec.timerActive());
        bool heldWhileOpen = false;
        bool answered = false;
        // Once a modal window is up: the colour dialog is answered, and
        // whatever is still open then is closed, so that a failure fails at
        // once instead of waiting for a person.
        QTimer watch;
        watch.setInterval(10);
        connect(&watch, &QTimer::timeout, this, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal) return;
            watch.stop();
            if (auto* colours = qobject_cast<FrmColores*>(modal)) {
                answered = true;
                heldWhileOpen = !rec.timerActive();
                colours->OPT_COL[5]->click();
                colours->HSR_RED->setValue(0);
                colours->CMD_ACEPTAR->click();
            }
            if (modal->isVisible()) modal->close();
        });
        watch.start();
        if (fromMenu) {
            control()->MN_Colores->trigger();
        } else {
            dialog()->show();
            dialog()->BTColores->click();
        }
        watch.stop();
        QVERIFY(answered);
        QVERIFY(heldWhileOpen);
        QCOMPARE(rec.recording(), !fromMenu);
        QCOMPARE(rec.timerActive(), !fromMenu);
        QCOMPARE(ctx_->g.Colores[5][1], 0xFFFF00);
        QCOMPARE(plot()->PIC_TRAZADO->backColor(), 0xFFFF00);
        QCOMPARE(control()->pic_onda->backColor(), 0xFFFF00);
        if (rec.recording()) rec.StartStopRecording();
    }

    // Start-up adds "0" to the list the dialog's load filled in.
    void addressListAfterStartUp() {
        start();
        QStringList items;
        for (int i = 0; i < dialog()->cmb_pastilla->count(); ++i) {
            items << dialog()->cmb_pastilla->itemText(i);
        }
        QCOMPARE(items, (QStringList{"0", "1", "2", "3", "4", "5", "6", "7", "0"}));
    }

    // "&Cerrar", "&Guardar" and the close box unload the dialog; the next
    // opening loads it anew: input mode 0, copies kept afresh. Esc does
    // nothing.
    void reopeningLoadsAnew_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("Cerrar") << "cerrar";
        QTest::newRow("Guardar") << "guardar";
        QTest::newRow("close box") << "close";
    }
    void reopeningLoadsAnew() {
        QFETCH(QString, how);
        start();
        prompts::setFileDialogHook([](const FileDialogRequest&) { return QString(); });
        FrmConfiguracion* first = dialog();
        first->show();
        first->OPT_TIPO[2]->setChecked(true);
        first->BT_NUEVO_MODO[3]->click();
        first->TxtEscala->setText("3");
        QTest::keyClick(first, Qt::Key_Escape);
        QVERIFY(first->isVisible());
        QCOMPARE(ctx_->g.ScaleFactor, 1.0f);
        if (how == "cerrar") first->BT_Cerrar->click();
        if (how == "guardar") first->BTGuardar->click();
        if (how == "close") first->close();
        QVERIFY(!ctx_->frmConfiguracionLoaded());
        // The close box applies nothing.
        QCOMPARE(ctx_->g.ScaleFactor, how == "close" ? 1.0f : 3.0f);
        QCOMPARE(ctx_->g.InputMode, int16_t(3));

        FrmConfiguracion* again = dialog();
        QCOMPARE(ctx_->g.InputMode, int16_t(0));
        QCOMPARE(control()->LB_MODO->text(), QString("AD8 M=0"));
        QVERIFY(again->OPT_TIPO[2]->isChecked());
        // A refused scale goes back to the one in force at this opening.
        again->TxtEscala->setText("0");
        again->TxtEscala_LostFocus();
        QCOMPARE(again->TxtEscala->text(), how == "close" ? QString("1") : QString("3"));
    }

    void scaleRefusal_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("refused");
        QTest::newRow("positive") << "2.5" << false;
        QTest::newRow("zero") << "0" << true;
        QTest::newRow("negative") << "-1" << true;
        QTest::newRow("no number") << "abc" << true;
        QTest::newRow("beyond a single") << "1e39" << true;
        QTest::newRow("limit beyond a single") << "2e38" << true;
    }
    void scaleRefusal() {
        QFETCH(QString, typed);
        QFETCH(bool, refused);
        start();
        QCOMPARE(dialog()->keptScaleFactor, 1.0f);
        dialog()->TxtEscala->setText(typed);
        QFocusEvent leaving(QEvent::FocusOut, Qt::TabFocusReason);
        QCoreApplication::sendEvent(dialog()->TxtEscala, &leaving);
        QCOMPARE(beeps_, refused ? 1 : 0);
        QCOMPARE(dialog()->TxtEscala->text(), refused ? QString("1") : typed);
        // Switching to another window is no leaving.
        beeps_ = 0;
        dialog()->TxtEscala->setText("0");
        QFocusEvent away(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
        QCoreApplication::sendEvent(dialog()->TxtEscala, &away);
        QCOMPARE(beeps_, 0);
    }

    void guardarSavesOrCancels() {
        start();
        std::vector<FileDialogRequest> asked;
        QString answer;
        prompts::setFileDialogHook([&](const FileDialogRequest& r) {
            asked.push_back(r);
            return answer;
        });
        // "Cerrar" takes the typed address, applies and closes.
        dialog()->show();
        dialog()->cmb_pastilla->setEditText("2");
        dialog()->BT_Cerrar->click();
        QCOMPARE(ctx_->g.ModuleAddress, int16_t(2));
        QVERIFY(dialog()->isHidden());
        QVERIFY(asked.empty());

        // Cancelled: the settings still apply and the dialog closes.
        dialog()->show();
        dialog()->TxtEscala->setText("4");
        dialog()->BTGuardar->click();
        QCOMPARE(asked.size(), size_t(1));
        QCOMPARE(asked[0].kind, FileDialogRequest::Save);
        QCOMPARE(asked[0].title, QString("Donde guardar el fichero de configuración"));
        QCOMPARE(asked[0].filter, QString("Archivos donde guardar|*.CFG"));
        QCOMPARE(ctx_->g.ScaleFactor, 4.0f);
        QVERIFY(dialog()->isHidden());
        QVERIFY(QDir(dir_->path()).entryList(QDir::Files).isEmpty());

        answer = dir_->filePath("nuevo.CFG");
        dialog()->show();
        dialog()->BTGuardar->click();
        QFile saved(answer);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QVERIFY(saved.readLine().startsWith("0,100,50,888,2,0,4,\"V\""));
        for (const MessageRequest& m : messages_) QVERIFY(!m.text.startsWith("No se ha podido"));

        // A folder that does not exist is refused and the dialog asks
        // again; cancelled then, nothing is written.
        const QString missing = dir_->filePath("no/such/folder/x.CFG");
        dialog();  // loaded anew, it checks the module at address 2
        messages_.clear();
        answer = missing;
        asked.clear();
        prompts::setFileDialogHook([&](const FileDialogRequest& r) {
            asked.push_back(r);
            return std::exchange(answer, QString());
        });
        dialog()->SelectCFG();
        QCOMPARE(asked.size(), size_t(2));
        QCOMPARE(messages_.size(), size_t(1));
        QCOMPARE(messages_[0].title, QString("Donde guardar el fichero de configuración"));
        QVERIFY(messages_[0].text.contains(missing));
        QVERIFY(!QFileInfo::exists(missing));
    }

    // A name given without an extension is saved with ".CFG"; one with an
    // extension is taken as typed. The name checked is the one written: with
    // a folder "solo.CFG" in the way, "solo" writes nothing.
    void savedNameGetsTheExtension_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("written");
        QTest::newRow("no extension") << "nuevo"
                                      << "nuevo.CFG";
        QTest::newRow("dotted folder") << "uno.d/nuevo"
                                       << "uno.d/nuevo.CFG";
        QTest::newRow("lower case extension") << "nuevo.cfg"
                                              << "nuevo.cfg";
        QTest::newRow("another extension") << "nuevo.txt"
                                           << "nuevo.txt";
        QTest::newRow("a folder with the extension") << "solo"
                                                     << "";
    }
    void savedNameGetsTheExtension() {
        QFETCH(QString, typed);
        QFETCH(QString, written);
        start();
        QDir here(dir_->path());
        QVERIFY(here.mkdir("uno.d"));
        QVERIFY(here.mkdir("solo.CFG"));
        QString answer = dir_->filePath(typed);
        prompts::setFileDialogHook(
            [&](const FileDialogRequest&) { return std::exchange(answer, QString()); });
        dialog()->SelectCFG();
        const QStringList files =
            here.entryList(QDir::Files) + QDir(here.filePath("uno.d")).entryList(QDir::Files);
        if (written.isEmpty()) {
            QVERIFY(files.isEmpty());
            QVERIFY(!messages_.empty());
            QVERIFY(messages_.back().text.contains("solo.CFG"));
        } else {
            QVERIFY(QFileInfo(here.filePath(written)).isFile());
            QCOMPARE(files.size(), 1);
        }
    }
};

QTEST_MAIN(TstConfigDialog)
#include "tst_config_dialog.moc"
