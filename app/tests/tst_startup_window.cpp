// SPDX-License-Identifier: GPL-3.0-or-later
// The main window as built: every control by name, kind, caption and frame,
// the menu bar, the configuration commands and the end of the program,
// including an end requested from inside a timer handler.
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QGroupBox>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

#include "common/prompts.h"
#include "common/title.h"
#include "core/tavo_library.h"
#include "test_program.h"
#include "windows/frm_configuracion.h"
#include "windows/frm_control.h"
#include "windows/frm_registro.h"
#include "windows/help_window.h"

namespace {
QString captionOf(const QWidget* w) {
    if (const auto* box = qobject_cast<const QGroupBox*>(w)) return box->title();
    return w->property("text").toString();
}

QString frameOf(const QWidget* w) {
    for (const QWidget* p = w->parentWidget(); p; p = p->parentWidget()) {
        if (qobject_cast<const QGroupBox*>(p)) return p->objectName();
    }
    return QString();
}

// Runs the event loop until the program asks to end; a guard ends it with
// code 1 should nothing ever ask.
int runUntilEnd() {
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    guard.start(20000);
    return QCoreApplication::exec();
}
}  // namespace

class TstStartupWindow : public QObject {
    Q_OBJECT

    QTemporaryDir workDir_;
    QString previousDir_;
    QList<MessageRequest> messages_;

    // Each test starts the program in an empty folder on the stand-in library.
    std::unique_ptr<TestProgram> start() {
        auto ctx = std::make_unique<TestProgram>();
        ctx->library().setSearch(QCoreApplication::applicationDirPath() + "/standin", false);
        ctx->frmControl();
        return ctx;
    }

  private slots:
    void initTestCase() { QVERIFY(workDir_.isValid()); }
    void init() {
        previousDir_ = QDir::currentPath();
        QDir::setCurrent(workDir_.path());
        messages_.clear();
        prompts::setMessageHook([this](const MessageRequest& r) { messages_ << r; });
    }
    void cleanup() {
        prompts::setMessageHook({});
        QDir::setCurrent(previousDir_);
    }

    void controls_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("frame");
        const auto row = [](const char* name, const char* kind, const char* caption,
                            const char* frame) {
            QTest::newRow(name) << QString::fromLatin1(name) << QString::fromLatin1(kind)
                                << QString::fromUtf8(caption) << QString::fromLatin1(frame);
        };
        row("MRC_MUESTREO", "QGroupBox", "Muestreo Analógico", "");
        row("MRC_ANALOGICO", "QGroupBox", "Analógico", "");
        row("MRC_Salida_Analogica", "QGroupBox", "Salida Analógica D/A", "");
        row("MRC_GENERADOR", "QGroupBox", "Generador", "");
        row("MRC_ONDAS", "QGroupBox", "Ondas", "");
        row("BT_Configurar", "QPushButton", "&Modificar Configuración", "");
        row("cmd_inic", "QPushButton", "&Iniciar Registro", "MRC_MUESTREO");
        row("Hsr_muestras", "QScrollBar", "", "MRC_MUESTREO");
        row("Txt_Muestras", "QLineEdit", "50", "MRC_MUESTREO");
        row("Hsr_Periodo", "QScrollBar", "", "MRC_MUESTREO");
        row("Txt_Periodo", "QLineEdit", "100", "MRC_MUESTREO");
        row("Lbl_text_muestras", "QLabel", "Número de muestras", "MRC_MUESTREO");
        row("Lbl_text_Periodo", "QLabel", "Período muestreo (ms)", "MRC_MUESTREO");
        row("OPT_Una", "QRadioButton", "Una vez", "MRC_MUESTREO");
        row("Option1", "QRadioButton", "Continuo", "MRC_MUESTREO");
        row("CHK_Guardar", "QCheckBox", "Grabar en:", "MRC_MUESTREO");
        row("Lbl_archivo", "QLabel", "DATOS.DAT", "MRC_MUESTREO");
        row("Lbl_text_contador", "QLabel", "Muestra actual", "MRC_MUESTREO");
        row("Lbl_Contamuestras", "QLabel", "", "MRC_MUESTREO");
        row("Lbl_text_preal", "QLabel", "Periodo  real (ms)", "MRC_MUESTREO");
        row("lbl_Preal", "QLabel", "", "MRC_MUESTREO");
        row("CHK_VIS_0", "QCheckBox", "CH 0", "MRC_ANALOGICO");
        row("CHK_VIS_1", "QCheckBox", "CH 1", "MRC_ANALOGICO");
        row("CHK_VIS_2", "QCheckBox", "CH 2", "MRC_ANALOGICO");
        row("CHK_VIS_3", "QCheckBox", "CH 3", "MRC_ANALOGICO");
        row("CHK_VIS_4", "QCheckBox", "D/A", "MRC_ANALOGICO");
        row("Lbl_Vis_0", "QLabel", "", "MRC_ANALOGICO");
        row("Lbl_Vis_4", "QLabel", "", "MRC_ANALOGICO");
        row("LBUnidades_0", "QLabel", "V", "MRC_ANALOGICO");
        row("LBUnidades_4", "QLabel", "V", "MRC_ANALOGICO");
        row("HSr_salanal", "QScrollBar", "", "MRC_Salida_Analogica");
        row("Txt_salanal", "QLineEdit", "0", "MRC_Salida_Analogica");
        row("LB_MODO", "QLabel", "ADT M=0", "MRC_Salida_Analogica");
        row("IMG_Modo", "QLabel", "", "MRC_Salida_Analogica");
        row("cmd_gen_0", "QPushButton", "&Periódica", "MRC_ONDAS");
        row("cmd_gen_1", "QPushButton", "&Estímulo", "MRC_ONDAS");
        row("cmd_gen_2", "QPushButton", "&Usuario", "MRC_ONDAS");
        row("Chk_onda", "QCheckBox", "&Generar", "MRC_GENERADOR");
        row("CMD_borrar_onda", "QPushButton", "&Borrar", "MRC_GENERADOR");
        row("pic_onda", "DrawingSurface", "", "MRC_GENERADOR");
        row("lbl_txt_preal_onda", "QLabel", "Tiempo real", "MRC_GENERADOR");
        row("lbl_per_real_onda", "QLabel", "", "MRC_GENERADOR");
        row("Lbl_txt_ampl", "QLabel", "Amplitud", "MRC_GENERADOR");
        row("LBL_AMPLITUD_ONDA", "QLabel", "", "MRC_GENERADOR");
        row("lbl_txt_offset", "QLabel", "Offset", "MRC_GENERADOR");
        row("LBL_OFFSET_ONDA", "QLabel", "", "MRC_GENERADOR");
        row("lbl_txt_per", "QLabel", "Periodo", "MRC_GENERADOR");
        row("LBL_PERIODO_ONDA", "QLabel", "", "MRC_GENERADOR");
    }
    // Captions as they stand after start-up without a configuration file.
    void controls() {
        QFETCH(QString, name);
        QFETCH(QString, kind);
        QFETCH(QString, caption);
        QFETCH(QString, frame);
        auto ctx = start();
        auto* w = ctx->frmControl()->findChild<QWidget*>(name);
        QVERIFY2(w, qPrintable(name));
        QVERIFY2(w->inherits(kind.toLatin1()), w->metaObject()->className());
        if (kind != "QScrollBar" && kind != "DrawingSurface") QCOMPARE(captionOf(w), caption);
        QCOMPARE(frameOf(w), frame);
        QCOMPARE(ctx->frmControl()->windowTitle(),
                 appTitle() + QStringLiteral(" — Banco simulado"));
    }

    // Design-time states the start-up does not touch.
    void designTimeProperties() {
        auto ctx = start();
        FrmControl* w = ctx->frmControl();
        QVERIFY(w->Option1->isChecked() && !w->OPT_Una->isChecked());
        QVERIFY(w->CHK_Guardar->isChecked());
        for (QCheckBox* c : w->CHK_VIS) QVERIFY(c->isChecked());
        QCOMPARE(w->Hsr_muestras->pageStep(), 50);
        QCOMPARE(w->Hsr_Periodo->singleStep(), 50);
        QCOMPARE(w->HSr_salanal->pageStep(), 5);
        QVERIFY(!w->IMG_Modo->pixmap().isNull());
    }

    void menus_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("under");
        QTest::newRow("MN_Ficheros") << "MN_Ficheros"
                                     << "&Ficheros"
                                     << "";
        QTest::newRow("MN_Guardar") << "MN_Guardar"
                                    << "&Guardar"
                                    << "MN_Ficheros";
        QTest::newRow("MN_Fin") << "MN_Fin"
                                << "&Salir"
                                << "MN_Ficheros";
        QTest::newRow("MN_Colores") << "MN_Colores"
                                    << "&Colores"
                                    << "";
        QTest::newRow("MN_Configuracion")
            << "MN_Configuracion" << QString::fromUtf8("Confi&Guración") << "";
        QTest::newRow("ModificarConfiguracion") << "ModificarConfiguracion"
                                                << "&Modificar"
                                                << "MN_Configuracion";
        QTest::newRow("MN_GrabarConfiguracion") << "MN_GrabarConfiguracion"
                                                << "&Grabar"
                                                << "MN_Configuracion";
        QTest::newRow("MN_LEER") << "MN_LEER"
                                 << "&Leer"
                                 << "MN_Configuracion";
        QTest::newRow("MN_AYUDA") << "MN_AYUDA"
                                  << "&Ayuda"
                                  << "";
    }
    void menus() {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QString, under);
        auto ctx = start();
        FrmControl* w = ctx->frmControl();
        QAction* action = w->findChild<QAction*>(name);
        QVERIFY2(action, qPrintable(name));
        QCOMPARE(action->text(), caption);
        if (under.isEmpty()) {
            // The bar holds exactly the four top items, in order.
            const QList<QAction*> top = {w->MN_Ficheros, w->MN_Colores, w->MN_Configuracion,
                                         w->MN_AYUDA};
            QCOMPARE(w->menuBar()->actions(), top);
            QVERIFY(top.contains(action));
        } else {
            auto* menu = w->findChild<QMenu*>(under);
            QVERIFY(menu);
            QVERIFY(menu->actions().contains(action));
        }
    }

    // "&Grabar" opens the dialog without waiting and leaves a recording on;
    // "&Modificar" stops the recording before the dialog shows, modally.
    void configurationCommands() {
        auto ctx = start();
        FrmControl* w = ctx->frmControl();
        w->StartStopRecording();
        QCOMPARE(ctx->g.Recording, kTrue);
        w->MN_GrabarConfiguracion->trigger();
        FrmConfiguracion* dialog = ctx->frmConfiguracion();
        QVERIFY(dialog->isVisible());
        QVERIFY(!dialog->isModal());
        QCOMPARE(ctx->g.Recording, kTrue);
        dialog->hide();

        bool recordingWhenShown = true;
        bool modalWhenShown = false;
        QTimer::singleShot(0, dialog, [&] {
            recordingWhenShown = ctx->g.Recording != kFalse;
            modalWhenShown = dialog->isModal() && dialog->isVisible();
            dialog->hide();
        });
        w->ModificarConfiguracion->trigger();
        QVERIFY(!recordingWhenShown);
        QVERIFY(modalWhenShown);
        QCOMPARE(w->cmd_inic->text(), QStringLiteral("&Iniciar registro"));
    }

    void helpWindowShowsTheDocument() {
        auto ctx = start();
        FrmControl* w = ctx->frmControl();
        messages_.clear();
        w->MN_AYUDA->trigger();
        HelpWindow* help = ctx->windows.helpWindow();
        QVERIFY(help);
        QVERIFY(help->isVisible());
        QCOMPARE(help->browser()->source(), QUrl(QStringLiteral("qrc:/help/ayuda.html")));
        QVERIFY(!help->browser()->toPlainText().trimmed().isEmpty());
        QVERIFY(messages_.isEmpty());
    }

    void shutdown_data() {
        QTest::addColumn<bool>("viaMenu");
        QTest::addColumn<bool>("modalDialogOpen");
        QTest::newRow("Salir from a tick") << true << false;
        QTest::newRow("close from a tick") << false << false;
        QTest::newRow("close while the dialog is modal") << false << true;
    }
    // Ending while a recording runs, from inside a handler of the sampling
    // timer: every loop returns, no further tick runs, the windows survive
    // until the context goes, and nothing crashes.
    void shutdown() {
        QFETCH(bool, viaMenu);
        QFETCH(bool, modalDialogOpen);
        auto ctx = start();
        FrmControl* w = ctx->frmControl();
        w->show();
        w->StartStopRecording();
        ctx->frmRegistro()->show();
        w->MN_GrabarConfiguracion->trigger();  // the dialog open, modeless
        int ticks = 0;
        const auto end = [&] {
            if (viaMenu) {
                w->MN_Fin->trigger();
            } else {
                w->close();
            }
        };
        QObject::connect(w->TMR_ANALOGICO, &QTimer::timeout, w, [&] {
            ++ticks;
            if (modalDialogOpen) {
                QTimer::singleShot(0, w, end);
                w->ModificarConfiguracion->trigger();
            } else {
                end();
            }
        });
        w->TMR_ANALOGICO->setInterval(1);
        w->TMR_ANALOGICO->start();

        QCOMPARE(runUntilEnd(), 0);
        QCOMPARE(ticks, 1);
        QVERIFY(w->ending());
        QVERIFY(!w->TMR_ANALOGICO->isActive());
        QVERIFY(!w->Tmr_onda->isActive());
        QVERIFY(!w->isVisible());
        QVERIFY(!ctx->frmRegistro()->isVisible());
        QVERIFY(!ctx->frmConfiguracion()->isVisible());
        // Abandoned as it was: no stop ran (but "&Modificar" stops it first).
        QCOMPARE(ctx->g.Recording, modalDialogOpen ? kFalse : kTrue);
        ctx.reset();
    }
};

QTEST_MAIN(TstStartupWindow)
#include "tst_startup_window.moc"
