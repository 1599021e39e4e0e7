// SPDX-License-Identifier: GPL-3.0-or-later
// The analog output's conversions and writes, and the rules of the typed
// sampling settings.
#include <QCoreApplication>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "acquisition/analog_output.h"
#include "acquisition/sampling_inputs.h"
#include "core/tavo_library.h"
#include "core/var_glob.h"

class TstAcquisitionInputs : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

  private slots:
    void codeToUnits_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<float>("scale");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("text");
        QTest::newRow("12-bit") << 2 << 1.0f << 2048 << "2.048";
        QTest::newRow("8-bit full scale") << 0 << 1.0f << 255 << "2.5";
        QTest::newRow("type 5 like 8-bit") << 5 << 1.0f << 51 << "0.5";
        QTest::newRow("zero") << 0 << 1.0f << 0 << "0.0";
        // Code times scale in single precision, then over 1000: 0.0045 as a
        // single lies below the half.
        QTest::newRow("12-bit third decimal down") << 2 << 0.5f << 9 << "0.004";
        QTest::newRow("12-bit third decimal up") << 2 << 0.5f << 23 << "0.012";
    }
    void codeToUnits() {
        QFETCH(int, type);
        QFETCH(float, scale);
        QFETCH(int, code);
        QFETCH(QString, text);
        QCOMPARE(CodeToUnitsText(code, moduleKindOf(int16_t(type)), scale), text);
    }

    // The typed value's code: the inverse of the text, halves to even,
    // accepted up to the scroll bar's maximum. -1: refused.
    void typedOutputValue_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<float>("scale");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("code");
        QTest::newRow("12-bit 2.5") << 2 << 1.0f << "2.5" << 2500;
        QTest::newRow("12-bit 40") << 2 << 1.0f << "40" << -1;
        QTest::newRow("12-bit at the maximum") << 2 << 1.0f << "4.095" << 4095;
        QTest::newRow("12-bit one step above") << 2 << 1.0f << "4.096" << -1;
        QTest::newRow("8-bit one step above") << 0 << 1.0f << "2.51" << -1;
        QTest::newRow("decimal comma") << 2 << 1.0f << "0,3" << 300;
        QTest::newRow("8-bit decimal comma") << 0 << 1.0f << "2,5" << 255;
        QTest::newRow("8-bit 2.5") << 0 << 1.0f << "2.5" << 255;
        QTest::newRow("8-bit 40") << 0 << 1.0f << "40" << -1;
        QTest::newRow("half to even down") << 2 << 1000.0f << "2.5" << 2;
        QTest::newRow("half to even up") << 2 << 1000.0f << "3.5" << 4;
        QTest::newRow("negative") << 2 << 1.0f << "-1" << -1;
        QTest::newRow("beyond 16 bits") << 2 << 1.0f << "1e9" << -1;
        QTest::newRow("not a number") << 0 << 1.0f << "abc" << 0;
        QTest::newRow("zero scale") << 0 << 0.0f << "1" << -1;
    }
    void typedOutputValue() {
        QFETCH(int, type);
        QFETCH(float, scale);
        QFETCH(QString, typed);
        QFETCH(int, code);
        const int max = type == 2 ? 4095 : 255;
        QCOMPARE(UnitsToCode(typed, moduleKindOf(int16_t(type)), scale, max).value_or(-1), code);
    }

    // Only the two converters are written; the code and its text follow the
    // scroll bar whatever the type.
    void outputWritesByModuleType_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("call");
        QTest::addColumn<QString>("text");
        QTest::newRow("8-bit") << 0 << "Escribir_Ad8b32 200 632 3"
                               << "1.961";
        QTest::newRow("12-bit") << 2 << "Escribir_Ad12r32 200 632 3"
                                << "0.2";
        QTest::newRow("type 5") << 5 << ""
                                << "1.961";
    }
    void outputWritesByModuleType() {
        QFETCH(int, type);
        QFETCH(QString, call);
        QFETCH(QString, text);
        const QString log = dir_.filePath(QStringLiteral("out-%1.log").arg(type));
        qputenv("KALMOR_STANDIN_LOG", log.toLocal8Bit());
        TavoLibrary lib(QCoreApplication::applicationDirPath() + "/standin", false);
        VarGlob g;
        g.ModuleType = int16_t(type);
        g.PortBase = 632;
        g.ModuleAddress = 3;
        AnalogOutput out(lib, g);
        QSignalSpy changed(&out, &AnalogOutput::changed);
        out.setCode(200);
        qunsetenv("KALMOR_STANDIN_LOG");
        QFile f(log);
        const QString calls = f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll()) : "";
        QCOMPARE(calls.trimmed(), call);
        QCOMPARE(out.AnalogOutValue(), int16_t(200));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(1).toString(), text);
        QCOMPARE(out.text(), text);
    }

    // Typed samples and periods: in range they move the scroll bar; out of
    // range they are ignored while typing and replaced on leaving the box.
    void typedSettings_data() {
        QTest::addColumn<bool>("samples");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("value");
        QTest::newRow("5000 samples") << true << "5000" << 5000;
        QTest::newRow("20 samples") << true << "20" << -1;
        QTest::newRow("99999 samples") << true << "99999" << -1;
        QTest::newRow("halves to even") << true << "100.5" << 100;
        QTest::newRow("comma, halves to even") << true << "100,5" << 100;
        QTest::newRow("comma, rounds up") << true << "100,6" << 101;
        QTest::newRow("comma, rounds into range") << false << "99,5" << 100;
        QTest::newRow("leading number") << true << "  75abc" << 75;
        QTest::newRow("not a number") << true << "abc" << -1;
        QTest::newRow("30000 ms") << false << "30000" << 30000;
        QTest::newRow("30001 ms") << false << "30001" << -1;
        QTest::newRow("99 ms") << false << "99" << -1;
    }
    void typedSettings() {
        QFETCH(bool, samples);
        QFETCH(QString, typed);
        QFETCH(int, value);
        const SettingRange range = samples ? kSamplesRange : kPeriodRange;
        QCOMPARE(typedSetting(typed, range).value_or(-1), value);
        const std::optional<QString> restored = textOnLeaving(typed, range, 1234);
        QCOMPARE(restored.value_or("kept"), value < 0 ? QStringLiteral("1234") : "kept");
    }
};

QTEST_MAIN(TstAcquisitionInputs)
#include "tst_acquisition_inputs.moc"
