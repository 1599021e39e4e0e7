// SPDX-License-Identifier: GPL-3.0-or-later
// The configuration file as a plain record: what the parser makes of the
// example and of damaged files, and what applying a damaged file leaves.
#include <QtTest>

#include <memory>

#include "common/prompts.h"
#include "common/title.h"
#include "config/config_file.h"
#include "config/config_record.h"
#include "core/settings_model.h"
#include "test_program.h"

namespace {

const QStringList kExampleLines{
    "2,100,50,888,0,0,1,\"V\"",
    "1,1,1,1,1",
    "16711680,16777215,65280,0,255,16777215,16776960,0,16711935,16777215",
    "#FALSE#,#TRUE#,0,1,0",
    "0,1",
    "16711680,65280,255,16776960,16711935,16777215",
    "16777215,0,16777215,0,16777215,0",
    "#FALSE#,#FALSE#,#FALSE#,#TRUE#",
    "\"DATOS.DAT\"",
};

QByteArray fileBytes(const QStringList& lines) {
    QByteArray bytes;
    for (const QString& line : lines) bytes += line.toUtf8() + "\r\n";
    return bytes;
}

QByteArray readFile(const QString& name) {
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

class TstConfigRecord : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() {
        // Start-up's message about the missing Config.CFG, and the module checks.
        prompts::setMessageHook([](const MessageRequest&) {});
    }

    void exampleRecordFieldByField() {
        const QByteArray bytes = readFile(QStringLiteral(KALMOR_TEST_DATA "/example.CFG"));
        QVERIFY(!bytes.isEmpty());
        const ConfigRecord r = parseConfiguration(bytes);
        QVERIFY(r.complete());
        QCOMPARE(r.ModuleType, int16_t(2));
        QCOMPARE(r.PeriodMs, int16_t(100));
        QCOMPARE(r.RequestedSamples, int16_t(50));
        QCOMPARE(r.PortBase, int16_t(888));
        QCOMPARE(r.ModuleAddress, int16_t(0));
        QCOMPARE(r.InputMode, int16_t(0));
        QCOMPARE(r.ScaleFactor, 1.0f);
        QCOMPARE(r.UnitsText, QString("V"));
        for (CheckValue v : r.visible) QCOMPARE(v, CheckValue::Checked);
        const std::array<LabelColours, 5> labels{{{16711680, 16777215},
                                                  {65280, 0},
                                                  {255, 16777215},
                                                  {16776960, 0},
                                                  {16711935, 16777215}}};
        QVERIFY(r.labelColours == labels);
        QVERIFY(!r.continuous && r.once);
        QCOMPARE(r.save, CheckValue::Unchecked);
        QCOMPARE(r.grid, CheckValue::Checked);
        QCOMPARE(r.xyMode, CheckValue::Unchecked);
        QCOMPARE(r.axisX, int16_t(0));
        QCOMPARE(r.axisY, int16_t(1));
        const std::array<int32_t, 6> first{16711680, 65280, 255, 16776960, 16711935, 16777215};
        const std::array<int32_t, 6> second{16777215, 0, 16777215, 0, 16777215, 0};
        for (size_t row = 0; row < 6; ++row) {
            QCOMPARE(r.Colores[row][1], first[row]);
            QCOMPARE(r.Colores[row][2], second[row]);
        }
        QCOMPARE(r.typeOption, int16_t(3));
        QCOMPARE(r.DataFileName, QString("DATOS.DAT"));
        // Written back, the record gives the file's own bytes.
        QCOMPARE(formatConfiguration(r), bytes);
    }

    // Texts are written one byte per character in Windows-1252 and read back
    // from it; a file that is valid UTF-8 (an earlier version's) reads as UTF-8.
    void textsTravelInWindows1252_data() {
        QTest::addColumn<QByteArray>("unitsField");
        QTest::addColumn<QString>("units");
        QTest::addColumn<QByteArray>("writtenField");
        QTest::newRow("degree sign") << QByteArray(
                                            "\"\xB0"
                                            "C\"")
                                     << QStringLiteral("°C")
                                     << QByteArray(
                                            "\"\xB0"
                                            "C\"");
        QTest::newRow("euro and ohm written as ?")
            << QByteArray("\"\xE2\x82\xAC/\xCE\xA9\"") << QStringLiteral("€/Ω")
            << QByteArray("\"\x80/?\"");
        QTest::newRow("UTF-8 degree sign") << QByteArray(
                                                  "\"\xC2\xB0"
                                                  "C\"")
                                           << QStringLiteral("°C")
                                           << QByteArray(
                                                  "\"\xB0"
                                                  "C\"");
    }
    void textsTravelInWindows1252() {
        QFETCH(QByteArray, unitsField);
        QFETCH(QString, units);
        QFETCH(QByteArray, writtenField);
        QByteArray bytes = fileBytes(kExampleLines);
        bytes.replace("\"V\"", unitsField);
        const ConfigRecord r = parseConfiguration(bytes);
        QVERIFY(r.complete());
        QCOMPARE(r.UnitsText, units);
        const QByteArray written = formatConfiguration(r);
        QVERIFY(written.startsWith("2,100,50,888,0,0,1," + writtenField + "\r\n"));
        QCOMPARE(parseConfiguration(written).UnitsText, QString(units).replace(u'Ω', u'?'));
    }

    void damagedLineStopsAtItsStep_data() {
        QTest::addColumn<int>("line");  // 1-based; 0 = the file ends before that line
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<int>("endsBefore");
        QTest::addColumn<ConfigStep>("step");
        QTest::addColumn<int>("itemsRead");

        using S = ConfigStep;
        QTest::newRow("empty file") << 0 << "" << 1 << S::ModuleLine << 0;
        QTest::newRow("no line 8") << 0 << "" << 8 << S::TypeLine << 0;
        QTest::newRow("no line 9") << 0 << "" << 9 << S::DataFileLine << 0;
        QTest::newRow("third field a word")
            << 1 << "2,100,x,888,0,0,1,\"V\"" << 0 << S::ModuleLine << 2;
        QTest::newRow("a ninth field")
            << 1 << "2,100,50,888,0,0,1,\"V\",9" << 0 << S::ModuleLine << 8;
        QTest::newRow("check value 3 third") << 2 << "1,0,3,1,1" << 0 << S::VisibleLine << 2;
        QTest::newRow("four check values") << 2 << "1,0,1,1" << 0 << S::VisibleLine << 0;
        QTest::newRow("second label colour too big")
            << 3 << "1,2,3,16777216,5,6,7,8,9,10" << 0 << S::LabelColourLine << 1;
        QTest::newRow("grid box value -1") << 4 << "#TRUE#,0,1,-1,0" << 0 << S::OptionsLine << 3;
        QTest::newRow("y axis 6") << 5 << "4,6" << 0 << S::AxesLine << 1;
        QTest::newRow("samples 20")
            << 1 << "2,100,20,888,0,0,1,\"V\"" << 0 << S::SamplingSettings << 1;
        QTest::newRow("period 40")
            << 1 << "2,40,50,888,0,0,1,\"V\"" << 0 << S::SamplingSettings << 2;
        QTest::newRow("colour 4 a word") << 6 << "1,2,3,x,5,6" << 0 << S::ColourTableLines << 3;
        QTest::newRow("line 7 too long") << 7 << "1,2,3,4,5,6,7" << 0 << S::ColourTableLines << 12;
        QTest::newRow("type flag beyond 16 bits") << 8 << "0,70000,0,0" << 0 << S::TypeLine << 0;
        QTest::newRow("two names") << 9 << "\"A\",\"B\"" << 0 << S::DataFileLine << 0;
    }
    void damagedLineStopsAtItsStep() {
        QFETCH(int, line);
        QFETCH(QString, replacement);
        QFETCH(int, endsBefore);
        QFETCH(ConfigStep, step);
        QFETCH(int, itemsRead);

        QStringList lines = kExampleLines;
        if (endsBefore > 0) lines = lines.mid(0, endsBefore - 1);
        if (line > 0) lines[line - 1] = replacement;
        const ConfigRecord r = parseConfiguration(fileBytes(lines));
        QCOMPARE(r.stoppedAt, step);
        QCOMPARE(r.itemsRead, itemsRead);
    }

    // A file stopped inside a step leaves the items before the bad one
    // applied, and nothing of the steps after it.
    void applyLeavesTheGoodItemsOfTheFailingStep_data() {
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("replacement");
        QTest::newRow("check value 3 third") << 2 << "0,0,3,0,0";
        QTest::newRow("y axis 6") << 5 << "4,6";
    }
    void applyLeavesTheGoodItemsOfTheFailingStep() {
        QFETCH(int, line);
        QFETCH(QString, replacement);
        QTemporaryDir dir;
        const QString old = QDir::currentPath();
        QDir::setCurrent(dir.path());
        auto ctx = std::make_unique<TestProgram>();
        ctx->frmControl();
        QStringList lines = kExampleLines;
        lines[line - 1] = replacement;
        QFile f(dir.filePath("damaged.CFG"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(fileBytes(lines));
        f.close();

        const SettingsModel& m = ctx->settings();
        const int16_t samplesBefore = ctx->g.SweepSamples;
        QVERIFY(!LoadConfiguration(*ctx, f.fileName()));
        if (line == 2) {
            QCOMPARE(m.visible()[0], CheckValue::Unchecked);
            QCOMPARE(m.visible()[1], CheckValue::Unchecked);
            QCOMPARE(m.visible()[2], CheckValue::Checked);
            // Line 4 is not reached: "Continuo" stays selected.
            QVERIFY(m.continuous() && !m.once());
        } else {
            QCOMPARE(m.axisX(), int16_t(4));
            QCOMPARE(ctx->g.XYChannelX, int16_t(4));
            QCOMPARE(ctx->g.XYChannelY, int16_t(1));
            // Step 6 is not reached.
            QCOMPARE(ctx->g.SweepSamples, samplesBefore);
        }
        ctx.reset();
        QDir::setCurrent(old);
    }
};

QTEST_MAIN(TstConfigRecord)
#include "tst_config_record.moc"
