// SPDX-License-Identifier: GPL-3.0-or-later
// The program's start-up: defaults, the configuration file named on the
// command line (or Config.CFG), the message when it cannot be read, and the
// analog output brought to 0 through the library. The library is the
// stand-in built beside the tests, which records every call.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "common/prompts.h"
#include "common/title.h"
#include "core/tavo_library.h"
#include "display/drawing_surface.h"
#include "test_program.h"
#include "windows/frm_control.h"
#include "windows/frm_registro.h"

class TstStartup : public QObject {
    Q_OBJECT

    QList<MessageRequest> messages_;
    QTemporaryDir workDir_;
    QString previousDir_;
    QString logPath_;

    QStringList loggedCalls() const {
        QFile file(logPath_);
        if (!file.open(QIODevice::ReadOnly)) return {};
        return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    }
    static QString standin(const char* variant = "standin") {
        return QCoreApplication::applicationDirPath() + '/' + variant;
    }
    QString writeFile(const QString& name, const QByteArray& content) {
        QFile file(workDir_.filePath(name));
        if (!file.open(QIODevice::WriteOnly)) return {};
        file.write(content);
        return file.fileName();
    }

  private slots:
    void init() {
        messages_.clear();
        prompts::setMessageHook([this](const MessageRequest& r) { messages_ << r; });
        // A fresh working folder: no Config.CFG unless a test writes one.
        QVERIFY(workDir_.isValid());
        for (const QString& f : QDir(workDir_.path()).entryList(QDir::Files)) {
            QFile::remove(workDir_.filePath(f));
        }
        previousDir_ = QDir::currentPath();
        QDir::setCurrent(workDir_.path());
        logPath_ = workDir_.filePath(QStringLiteral("calls.log"));
        qputenv("KALMOR_STANDIN_LOG", logPath_.toLocal8Bit());
    }
    void cleanup() {
        QDir::setCurrent(previousDir_);
        prompts::setMessageHook({});
        qunsetenv("KALMOR_STANDIN_LOG");
    }

    void withoutConfigurationFile() {
        TestProgram ctx;
        ctx.library().setSearch(standin(), false);
        FrmControl* w = ctx.frmControl();

        QCOMPARE(messages_.size(), 1);
        QCOMPARE(messages_[0].icon, QMessageBox::Warning);
        QCOMPARE(messages_[0].title, QStringLiteral(" Error al cargar"));
        QCOMPARE(messages_[0].text,
                 QStringLiteral(" Error al cargar el fichero de configuración: Config.CFG Es "
                                "posible que la aplicación no funcione correctamente."));

        QCOMPARE(w->Txt_Muestras->text(), QStringLiteral("50"));
        QCOMPARE(w->Txt_Periodo->text(), QStringLiteral("100"));
        QCOMPARE(w->Hsr_muestras->value(), 50);
        QCOMPARE(w->Hsr_Periodo->minimum(), 100);
        QCOMPARE(w->Hsr_Periodo->maximum(), 30000);
        for (QLabel* l : w->LBUnidades) QCOMPARE(l->text(), QStringLiteral("V"));
        QCOMPARE(ctx.g.RequestedSamples, int16_t(50));
        QCOMPARE(ctx.g.SweepSamples, int16_t(100));
        QCOMPARE(ctx.g.PlotLower, 0.0f);
        QCOMPARE(ctx.g.PlotUpper, 2.5f);
        QCOMPARE(w->HSr_salanal->maximum(), 255);
        QCOMPARE(ctx.g.PortBase, int16_t(888));
        QCOMPARE(ctx.g.DataFileName, QStringLiteral("DATOS.DAT"));
        QCOMPARE(ctx.g.LineBreak, QStringLiteral("\r\n"));
        QCOMPARE(ctx.g.WavePeriodMaxMs, int16_t(15000));
        QCOMPARE(w->TMR_ANALOGICO->interval(), 100);
        QVERIFY(!w->TMR_ANALOGICO->isActive());
        QCOMPARE(w->Tmr_onda->interval(), 50);
        QVERIFY(!w->Chk_onda->isEnabled());

        // The plot area spans the samples by the value range; the plot
        // window stays hidden until a recording starts.
        FrmRegistro* r = ctx.frmRegistro();
        QVERIFY(!r->isVisible());
        QCOMPARE(r->PIC_TRAZADO->scaleLeft(), 0.0f);
        QCOMPARE(r->PIC_TRAZADO->scaleWidth(), 50.0f);
        QCOMPARE(r->PIC_TRAZADO->scaleTop(), 2.5f);
        QCOMPARE(r->PIC_TRAZADO->scaleHeight(), -2.5f);
        QVERIFY(r->CHK_REJILLA->isChecked());
        QCOMPARE(w->pic_onda->scaleLeft(), 1.0f);
        QCOMPARE(w->pic_onda->scaleWidth(), 299.0f);

        // The output is written on the acquisition thread, a moment later.
        QTRY_VERIFY2(loggedCalls().contains(QStringLiteral("Escribir_Ad8b32 0 888 0")),
                     qPrintable(loggedCalls().join(" | ")));
        QCOMPARE(ctx.g.AnalogOutValue, int16_t(0));
    }

    // Default colours: value labels and plot area.
    void defaultColours() {
        TestProgram ctx;
        ctx.library().setSearch(standin(), false);
        FrmControl* w = ctx.frmControl();
        const int32_t white = 0xFFFFFF, black = 0;
        const int32_t expected[6][2] = {{0xFF0000, white}, {0x00FF00, black}, {0x0000FF, white},
                                        {0xFFFF00, black}, {0xFF00FF, white}, {white, black}};
        for (int i = 0; i < 6; ++i) {
            QCOMPARE(ctx.g.Colores[i][1], expected[i][0]);
            QCOMPARE(ctx.g.Colores[i][2], expected[i][1]);
        }
        QCOMPARE(w->Lbl_Vis[3]->palette().color(QPalette::Window), QColor(0, 255, 255));
        QCOMPARE(w->Lbl_Vis[3]->palette().color(QPalette::WindowText), QColor(0, 0, 0));
        QCOMPARE(ctx.frmRegistro()->PIC_TRAZADO->backColor(), white);
        QCOMPARE(ctx.frmRegistro()->PIC_TRAZADO->foreColor(), black);
        QCOMPARE(w->pic_onda->backColor(), white);
        QCOMPARE(w->pic_onda->foreColor(), white);  // the analog output's contrast colour
    }

    // The file named on the command line is read instead of Config.CFG.
    void namedConfigurationFile() {
        writeFile(QStringLiteral("Config.CFG"), "not a configuration\r\n");
        const QString name =
            writeFile(QStringLiteral("doce bits.CFG"),
                      "2,200,300,632,1,0,2,\"mV\"\r\n"
                      "1,1,1,1,1\r\n"
                      "16711680,16777215,65280,0,255,16777215,16776960,0,16711935,16777215\r\n"
                      "#FALSE#,#TRUE#,0,1,0\r\n"
                      "0,1\r\n"
                      "16711680,65280,255,16776960,16711935,16777215\r\n"
                      "16777215,0,16777215,0,16777215,0\r\n"
                      "#FALSE#,#FALSE#,#FALSE#,#TRUE#\r\n"
                      "\"MEDIDAS.DAT\"\r\n");
        TestProgram ctx({name});
        ctx.library().setSearch(standin(), false);
        FrmControl* w = ctx.frmControl();

        QVERIFY2(messages_.isEmpty(), messages_.isEmpty() ? "" : qPrintable(messages_[0].text));
        QCOMPARE(ctx.g.ModuleType, int16_t(2));
        QCOMPARE(ctx.g.PortBase, int16_t(632));
        QCOMPARE(ctx.g.SweepSamples, int16_t(300));
        QCOMPARE(ctx.g.SweepPeriodMs, int16_t(200));
        QCOMPARE(w->TMR_ANALOGICO->interval(), 200);
        QCOMPARE(ctx.g.PlotUpper, static_cast<float>(2.0 * 4.095));
        QCOMPARE(w->HSr_salanal->maximum(), 4095);
        for (QLabel* l : w->LBUnidades) QCOMPARE(l->text(), QStringLiteral("mV"));
        QCOMPARE(w->Lbl_archivo->text(), QStringLiteral("MEDIDAS.DAT"));
        QVERIFY(w->OPT_Una->isChecked());
        QCOMPARE(w->LB_MODO->property("Tag").toString(), QStringLiteral(" 3"));
        // A 12-bit module's output is left alone at start-up.
        for (const QString& call : loggedCalls()) {
            QVERIFY2(!call.startsWith(QStringLiteral("Escribir_")), qPrintable(call));
        }
    }

    // A library lacking the start-up's export: that call does nothing and
    // the missing name is told once.
    void libraryWithoutOutputWrite() {
        TestProgram ctx;
        ctx.library().setSearch(standin("standin-partial"), false);
        ctx.frmControl();
        QList<MessageRequest> told;
        for (const MessageRequest& m : messages_) {
            if (m.title == appTitle()) told << m;
        }
        QCOMPARE(told.size(), 1);
        QVERIFY(told[0].text.contains(QStringLiteral("Escribir_Ad8b32")));
    }
};

QTEST_MAIN(TstStartup)
#include "tst_startup.moc"
