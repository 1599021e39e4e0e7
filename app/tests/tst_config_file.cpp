// SPDX-License-Identifier: GPL-3.0-or-later
// Reading and writing the configuration file through the windows it sets,
// and ApplyConfiguration.
#include <QtTest>

#include <sys/resource.h>
#include <csignal>
#include <memory>
#include <vector>

#include "common/prompts.h"
#include "common/title.h"
#include "config/apply_configuration.h"
#include "config/config_commands.h"
#include "config/config_file.h"
#include "test_program.h"
#include "widgets/colours.h"
#include "windows/frm_configuracion.h"
#include "windows/frm_control.h"
#include "windows/frm_registro.h"

namespace {

// Every line sets something that differs from the start-up state.
const QStringList kBaseLines{
    "0,250,700,888,0,0,3,\"mV\"",
    "1,0,1,1,1",
    "1193046,16777215,65280,0,255,16777215,16776960,0,16711935,16777215",
    "#FALSE#,#TRUE#,0,1,0",
    "2,3",
    "111,65280,255,16776960,16711935,16777215",
    "222,0,16777215,0,16777215,0",
    "#TRUE#,#FALSE#,#FALSE#,#FALSE#",
    "\"OTRO.DAT\"",
};

QByteArray fileBytes(const QStringList& lines) {
    QByteArray bytes;
    for (const QString& line : lines) bytes += line.toUtf8() + "\r\n";
    return bytes;
}

int32_t backColour(const QLabel* label) {
    return fromQColor(label->palette().color(QPalette::Window));
}

}  // namespace

class TstConfigFile : public QObject {
    Q_OBJECT
  private:
    std::unique_ptr<QTemporaryDir> dir_;
    QString oldDir_;
    std::vector<MessageRequest> messages_;
    std::unique_ptr<TestProgram> ctx_;

    QString path(const QString& name) const { return dir_->filePath(name); }
    QString write(const QString& name, const QByteArray& bytes) {
        QFile f(path(name));
        if (!f.open(QIODevice::WriteOnly)) return QString();
        f.write(bytes);
        return f.fileName();
    }
    QByteArray read(const QString& file) {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // A fresh program, started in an empty folder (no Config.CFG there).
    void restart() {
        ctx_.reset();
        ctx_ = std::make_unique<TestProgram>();
        ctx_->frmControl();
        messages_.clear();
    }
    FrmControl* control() { return ctx_->frmControl(); }
    FrmRegistro* plot() { return ctx_->frmRegistro(); }
    FrmConfiguracion* dialog() { return ctx_->frmConfiguracion(); }

    // Whether the effect of reading step `stage` of the base file is in
    // place: 1 to 5 its first lines, 6 the sampling settings, 7 and 8 the
    // colour table, 9 the type line, 10 the data file line, 11 ApplyConfiguration.
    bool stageHolds(int stage) {
        const VarGlob& g = ctx_->g;
        switch (stage) {
            case 1:
                return g.PeriodMs == 250 && g.RequestedSamples == 700 && g.ScaleFactor == 3.0f;
            case 2:
                return !control()->CHK_VIS[1]->isChecked();
            case 3:
                return backColour(control()->Lbl_Vis[0]) == 1193046;
            case 4:
                return control()->OPT_Una->isChecked() && !control()->Option1->isChecked() &&
                       !control()->CHK_Guardar->isChecked();
            case 5:
                return plot()->opt_x[2]->isChecked() && plot()->opt_y[3]->isChecked() &&
                       g.XYChannelX == 2 && g.XYChannelY == 3;
            case 6:
                return g.SweepPeriodMs == 250 && g.SweepSamples == 700 &&
                       control()->Hsr_Periodo->value() == 250 &&
                       control()->Hsr_muestras->value() == 700;
            case 7:
                return g.Colores[0][1] == 111;
            case 8:
                return g.Colores[0][2] == 222;
            case 9:
                return control()->LB_MODO->text() == "ADT M=0";
            case 10:
                return g.DataFileName == "OTRO.DAT";
            case 11:
                return control()->Lbl_archivo->text() == "OTRO.DAT" && g.PlotUpper == 7.5f &&
                       control()->LBUnidades[0]->text() == "mV";
        }
        return false;
    }

  private slots:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        oldDir_ = QDir::currentPath();
        QDir::setCurrent(dir_->path());
        prompts::setMessageHook([this](const MessageRequest& m) { messages_.push_back(m); });
        prompts::setBeepHook([] {});
        restart();
    }
    void cleanup() {
        ctx_.reset();
        prompts::setMessageHook({});
        prompts::setFileDialogHook({});
        prompts::setBeepHook({});
        QDir::setCurrent(oldDir_);
        dir_.reset();
    }

    void exampleLoadsAndSavesTheSameBytes() {
        const QString example = QStringLiteral(KALMOR_TEST_DATA "/example.CFG");
        QVERIFY(!example.isEmpty());
        QVERIFY(LoadConfiguration(*ctx_, example));
        QVERIFY(messages_.empty());

        QCOMPARE(ctx_->g.ModuleType, int16_t(2));
        QCOMPARE(ctx_->g.PlotUpper, 4.095f);
        QCOMPARE(control()->HSr_salanal->maximum(), 4095);
        QCOMPARE(control()->LB_MODO->text(), QString("AD12 M=0"));
        QCOMPARE(control()->LB_MODO->property("Tag").toString(), QString("3"));

        const QString saved = path("saved.CFG");
        QVERIFY(SaveConfiguration(*ctx_, saved));
        QCOMPARE(read(saved), read(example));
    }

    void roundTripKeepsEveryField() {
        VarGlob& g = ctx_->g;
        // The type stays: choosing another one would tick every channel again.
        dialog()->OPT_TIPO[0]->setChecked(true);
        dialog()->OPT_PUERTO[0]->setChecked(true);
        dialog()->TxtEscala->setText("2.5");
        dialog()->TxtUnidades->setText("bar");
        QVERIFY(ApplyConfiguration(*ctx_));
        g.PeriodMs = 1234;
        g.RequestedSamples = 9999;
        g.ModuleAddress = 6;
        g.DataFileName = "C:\\medidas\\ensayo 1.dat";
        g.Colores[3][1] = 0x00ABCDEF;
        g.Colores[4][2] = 42;
        control()->CHK_VIS[2]->setChecked(false);
        control()->CHK_VIS[4]->setChecked(false);
        QPalette palette = control()->Lbl_Vis[3]->palette();
        palette.setColor(QPalette::Window, QColor(1, 2, 3));
        control()->Lbl_Vis[3]->setPalette(palette);
        control()->Option1->setChecked(true);
        plot()->CHK_MODO->setChecked(true);
        plot()->opt_x[4]->setChecked(true);
        plot()->opt_y[2]->setChecked(true);

        // Saved, read by a freshly started program and saved again.
        const QString first = path("first.CFG");
        QVERIFY(SaveConfiguration(*ctx_, first));
        restart();
        QVERIFY(LoadConfiguration(*ctx_, first));
        QVERIFY(messages_.empty());
        const QString second = path("second.CFG");
        QVERIFY(SaveConfiguration(*ctx_, second));
        QCOMPARE(read(second), read(first));
        QCOMPARE(ctx_->g.PlotUpper, 6.25f);
        QCOMPARE(ctx_->g.XYChannelX, int16_t(4));
    }

    void damagedFileStopsAtItsStep_data() {
        QTest::addColumn<int>("line");  // 1-based line replaced, or the first one dropped
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<bool>("truncate");
        QTest::addColumn<int>("stagesHeld");

        QTest::newRow("complete") << 0 << "" << false << 11;
        const std::array<int, 10> heldBefore{0, 0, 1, 2, 3, 4, 6, 7, 8, 9};
        for (int line = 1; line <= 9; ++line) {
            QTest::addRow("file ends before line %d", line)
                << line << "" << true << heldBefore[size_t(line)];
        }
        QTest::newRow("word in a number") << 2 << "1,abc,1,1,1" << false << 1;
        QTest::newRow("check box value 3") << 2 << "3,0,1,1,1" << false << 1;
        QTest::newRow("too few fields") << 3 << "1193046,16777215,65280" << false << 2;
        QTest::newRow("colour below 0") << 3 << "-5,0,0,0,0,0,0,0,0,0" << false << 2;
        QTest::newRow("axis index 7") << 5 << "7,3" << false << 4;
        QTest::newRow("samples below the scroll bar")
            << 1 << "0,250,20,888,0,0,3,\"mV\"" << false << 0;
        QTest::newRow("colour beyond 32 bits")
            << 6 << "1e10,65280,255,16776960,16711935,16777215" << false << 6;
        QTest::newRow("quoted number") << 7 << "\"222\",0,16777215,0,16777215,0" << false << 7;
        QTest::newRow("flag beyond 16 bits") << 8 << "#FALSE#,40000,#FALSE#,#FALSE#" << false << 8;
        QTest::newRow("quote never closed") << 9 << "\"OTRO.DAT" << false << 9;
        QTest::newRow("plot limit beyond a single")
            << 1 << "0,250,700,888,0,0,2E+38,\"mV\"" << false << 10;
    }
    void damagedFileStopsAtItsStep() {
        QFETCH(int, line);
        QFETCH(QString, replacement);
        QFETCH(bool, truncate);
        QFETCH(int, stagesHeld);

        QStringList lines = kBaseLines;
        if (truncate) {
            lines = lines.mid(0, line - 1);
        } else if (line > 0) {
            lines[line - 1] = replacement;
        }
        const QString name = write("damaged.CFG", fileBytes(lines));
        control()->LB_MODO->setText("sin tipo");
        prompts::setFileDialogHook([&](const FileDialogRequest& r) {
            return r.kind == FileDialogRequest::Open ? name : QString();
        });
        RunLoadCommand(*ctx_, control());

        const QByteArray tag = QTest::currentDataTag();
        if (tag == "samples below the scroll bar") {
            // Line 1 itself is whole; step 6 refuses the value.
            QVERIFY(ctx_->g.RequestedSamples == 20 && ctx_->g.PeriodMs == 250);
            QVERIFY(stageHolds(5));
            QVERIFY(!stageHolds(6));
        } else if (tag == "plot limit beyond a single") {
            // Every line is read; ApplyConfiguration cannot keep the limit.
            QCOMPARE(ctx_->g.ScaleFactor, 2e38f);
            QVERIFY(stageHolds(10));
            QVERIFY(control()->Lbl_archivo->text() != "OTRO.DAT");
        } else {
            for (int stage = 1; stage <= 11; ++stage) {
                QVERIFY2(stageHolds(stage) == (stage <= stagesHeld),
                         qPrintable(QString("stage %1").arg(stage)));
            }
        }

        if (stagesHeld == 11) {
            QVERIFY(messages_.empty());
            return;
        }
        QCOMPARE(messages_.size(), size_t(1));
        QCOMPARE(messages_[0].icon, QMessageBox::Warning);
        QCOMPARE(messages_[0].title, QString(" Error"));
        QCOMPARE(messages_[0].text, " Error al cargar el fichero de configuración: " + name +
                                        " Es posible que la aplicación no funcione correctamente.");
    }

    // Line 1 goes straight into the globals: a bad field leaves those before it set.
    void firstLineStopsAtTheBadField() {
        QStringList lines = kBaseLines;
        lines[0] = "0,250,40000,888,0,0,3,\"mV\"";
        QVERIFY(!LoadConfiguration(*ctx_, write("bad.CFG", fileBytes(lines))));
        QCOMPARE(ctx_->g.PeriodMs, int16_t(250));
        QCOMPARE(ctx_->g.RequestedSamples, int16_t(50));
        QCOMPARE(ctx_->g.ScaleFactor, 1.0f);
    }

    void missingFileSetsPort378() {
        ctx_->g.PortBase = 632;
        QVERIFY(!LoadConfiguration(*ctx_, path("nowhere.CFG")));
        QCOMPARE(ctx_->g.PortBase, int16_t(888));
        // A file that exists but cannot be read leaves the port alone.
        ctx_->g.PortBase = 632;
        QVERIFY(QDir(dir_->path()).mkdir("folder.CFG"));
        QVERIFY(!LoadConfiguration(*ctx_, path("folder.CFG")));
        QCOMPARE(ctx_->g.PortBase, int16_t(632));
    }

    // Line 8 without #TRUE# leaves the type and LB_MODO; an empty line 9
    // keeps the data file name.
    void typeAndNameLinesMayBeEmpty() {
        QStringList lines = kBaseLines;
        lines[7] = "#FALSE#,#FALSE#,#FALSE#,#FALSE#";
        lines[8] = "\"\"";
        dialog()->OPT_TIPO[2]->setChecked(true);
        control()->LB_MODO->setText("como estaba");
        ctx_->g.DataFileName = "ANTES.DAT";
        QVERIFY(LoadConfiguration(*ctx_, write("empty.CFG", fileBytes(lines))));
        QVERIFY(dialog()->OPT_TIPO[2]->isChecked());
        QCOMPARE(control()->LB_MODO->text(), QString("como estaba"));
        QCOMPARE(ctx_->g.DataFileName, QString("ANTES.DAT"));
        QCOMPARE(control()->Lbl_archivo->text(), QString("ANTES.DAT"));
    }

    void continuousOptionField_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<bool>("continuous");
        QTest::newRow("#TRUE#") << "#TRUE#" << true;
        QTest::newRow("1") << "1" << true;
        QTest::newRow("0") << "0" << false;
    }
    void continuousOptionField() {
        QFETCH(QString, field);
        QFETCH(bool, continuous);
        QStringList lines = kBaseLines;
        lines[3] = field + ",#FALSE#,1,1,0";
        QVERIFY(LoadConfiguration(*ctx_, write("option.CFG", fileBytes(lines))));
        QCOMPARE(control()->Option1->isChecked(), continuous);
        QVERIFY(!control()->OPT_Una->isChecked());
    }

    // A group with no option selected is written as 5 and read back as
    // "leave the group as it is".
    void axisGroupWithoutSelectionReadsBack() {
        for (QRadioButton* o : plot()->opt_x) {
            o->setAutoExclusive(false);
            o->setChecked(false);
            o->setAutoExclusive(true);
        }
        const QString saved = path("noaxis.CFG");
        QVERIFY(SaveConfiguration(*ctx_, saved));
        QVERIFY(splitLines(read(saved)).value(4).startsWith("5,"));

        plot()->opt_x[3]->setChecked(true);
        plot()->opt_y[1]->setChecked(true);
        QVERIFY(LoadConfiguration(*ctx_, saved));
        QVERIFY(plot()->opt_x[3]->isChecked());
        QVERIFY(!plot()->opt_y[1]->isChecked());
    }

    // A double quote cannot live inside a text field: it is written as an
    // apostrophe, and the file reads back.
    void quoteInTextIsWrittenAsApostrophe() {
        dialog()->TxtUnidades->setText("mm \"Hg\"");
        QVERIFY(ApplyConfiguration(*ctx_));
        const QString saved = path("quote.CFG");
        QVERIFY(SaveConfiguration(*ctx_, saved));
        QVERIFY(splitLines(read(saved)).value(0).endsWith(",\"mm 'Hg'\""));
        QVERIFY(LoadConfiguration(*ctx_, saved));
        QCOMPARE(ctx_->g.UnitsText, QString("mm 'Hg'"));
    }

    void saveFailureIsReportedAndKeepsThePreviousFile() {
        QString error;
        const QString target = path("no/such/folder/x.CFG");
        QVERIFY(!SaveConfiguration(*ctx_, target, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!QFile::exists(target));

        // The disk fills up: the save, a few hundred bytes, fails only at
        // its final flush; the previous file stays whole, and the reason is
        // the program's own.
        const QString full = write("full.CFG", fileBytes(kBaseLines));
        rlimit old{};
        getrlimit(RLIMIT_FSIZE, &old);
        rlimit small = old;
        small.rlim_cur = 64;
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &small);
        const bool saved = SaveConfiguration(*ctx_, full, &error);
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
        QVERIFY(!saved);
        QCOMPARE(error, QStringLiteral("disco lleno"));
        QCOMPARE(read(full), fileBytes(kBaseLines));

        // Saving over an existing file replaces it whole.
        const QString existing = write("old.CFG", QByteArray(4000, 'x'));
        QVERIFY(SaveConfiguration(*ctx_, existing));
        const QByteArray now = read(existing);
        QVERIFY(now.startsWith("0,100,50,888,0,0,1,\"V\"\r\n"));
        QVERIFY(!now.contains('x'));
        QCOMPARE(splitLines(now).size(), 9);
    }

    // A file read while the dialog exists keeps its own scale and units:
    // the dialog's boxes follow the file instead of overriding it.
    void loadedScaleSurvivesAnOpenDialog() {
        QVERIFY(ctx_->frmConfiguracionLoaded());
        dialog()->TxtEscala->setText("9");
        QVERIFY(LoadConfiguration(*ctx_, write("scale.CFG", fileBytes(kBaseLines))));
        QCOMPARE(ctx_->g.ScaleFactor, 3.0f);
        QCOMPARE(dialog()->TxtEscala->text(), QString("3"));
        QCOMPARE(dialog()->TxtUnidades->text(), QString("mV"));
        QCOMPARE(dialog()->keptScaleFactor, 3.0f);
    }

    void applyConfigurationLimits_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("scale");
        QTest::addColumn<float>("factor");
        QTest::addColumn<float>("upper");
        QTest::addColumn<int>("outputMax");
        QTest::newRow("ADT") << 0 << "1" << 1.0f << 2.5f << 255;
        QTest::newRow("AD8") << 2 << "1" << 1.0f << 2.5f << 255;
        QTest::newRow("AD12") << 3 << "1" << 1.0f << 4.095f << 4095;
        // Typed with either point, the scale is read whole.
        QTest::newRow("comma is a decimal point") << 2 << "2,5" << 2.5f << 6.25f << 255;
        QTest::newRow("AD12, comma") << 3 << "0,5" << 0.5f << 2.0475f << 4095;
    }
    void applyConfigurationLimits() {
        QFETCH(int, type);
        QFETCH(QString, scale);
        QFETCH(float, factor);
        QFETCH(float, upper);
        QFETCH(int, outputMax);
        dialog()->OPT_TIPO[size_t(type)]->setChecked(true);
        dialog()->TxtEscala->setText(scale);
        ctx_->g.PlotLower = -1.0f;
        QVERIFY(ApplyConfiguration(*ctx_));
        QCOMPARE(ctx_->g.ModuleType, int16_t(type == 3 ? 2 : 0));
        QCOMPARE(ctx_->g.ScaleFactor, factor);
        QCOMPARE(ctx_->g.PlotUpper, upper);
        QCOMPARE(ctx_->g.PlotLower, 0.0f);
        QCOMPARE(control()->HSr_salanal->maximum(), outputMax);
        QCOMPARE(control()->LB_MODO->property("Tag").toString().trimmed(), QString::number(type));
    }

    void applyConfigurationOutOfRangeStopsSafely() {
        dialog()->OPT_TIPO[3]->setChecked(true);
        dialog()->TxtUnidades->setText("kV");
        ctx_->g.PlotUpper = 4.095f;
        dialog()->TxtEscala->setText("1e39");
        QVERIFY(!ApplyConfiguration(*ctx_));
        QCOMPARE(ctx_->g.ScaleFactor, 1.0f);
        dialog()->TxtEscala->setText("1e38");
        QVERIFY(!ApplyConfiguration(*ctx_));
        QCOMPARE(ctx_->g.ScaleFactor, 1e38f);
        QCOMPARE(ctx_->g.UnitsText, QString("kV"));
        QCOMPARE(ctx_->g.PlotUpper, 4.095f);
        QVERIFY(control()->LBUnidades[0]->text() != "kV");
    }

  private:
    static QStringList splitLines(const QByteArray& bytes) {
        QStringList lines = QString::fromUtf8(bytes).split("\r\n");
        if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
        return lines;
    }
};

QTEST_MAIN(TstConfigFile)
#include "tst_config_file.moc"
