// SPDX-License-Identifier: GPL-3.0-or-later
// The session without any window: the configuration is read and applied
// from the settings model alone, the module type is told apart by its kind,
// and the plot's clear leaves the sweep count to the sampling engine.
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include "acquisition/recorder.h"
#include "acquisition/sample_units.h"
#include "config/apply_configuration.h"
#include "config/config_file.h"
#include "core/session.h"
#include "core/settings_model.h"
#include "display/drawing_surface.h"
#include "display/graduations.h"
#include "display/grid.h"
#include "display/trace_plotter.h"
#include "startup/session_engines.h"

class TstSession : public QObject {
    Q_OBJECT
  private slots:
    void applyingTakesTheModelsDrafts_data() {
        QTest::addColumn<int>("typeOption");
        QTest::addColumn<QString>("scale");
        QTest::addColumn<bool>("applied");
        QTest::addColumn<int>("moduleType");
        QTest::addColumn<float>("upper");
        QTest::addColumn<int>("outputMaximum");
        QTest::newRow("AD8") << 2 << "2" << true << 0 << 5.0f << 255;
        QTest::newRow("AD12") << 3 << "2" << true << 2 << 8.19f << 4095;
        QTest::newRow("no type") << -1 << "1" << true << 0 << 2.5f << 255;
        // The scale fits a single but the limit it gives does not.
        QTest::newRow("limit too large") << 3 << "3e38" << false << 2 << 2.5f << 255;
        QTest::newRow("scale no number") << 2 << "abc" << true << 0 << 0.0f << 255;
    }
    void applyingTakesTheModelsDrafts() {
        QFETCH(int, typeOption);
        QFETCH(QString, scale);
        QFETCH(bool, applied);
        QFETCH(int, moduleType);
        QFETCH(float, upper);
        QFETCH(int, outputMaximum);
        Session session;
        SettingsModel& m = session.settings();
        m.setTypeOption(static_cast<int16_t>(typeOption));
        m.setDrafts(scale, QStringLiteral("mV"));
        QCOMPARE(ApplyConfiguration(session), applied);
        QCOMPARE(session.g.ModuleType, int16_t(moduleType));
        QCOMPARE(session.g.PlotUpper, upper);
        QCOMPARE(m.outputMaximum(), outputMaximum);
        if (applied) QCOMPARE(session.g.UnitsText, QStringLiteral("mV"));
    }

    void loadingAFileNeedsNoWindow() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString name = dir.filePath("c.CFG");
        QFile f(name);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(
            "2,100,50,632,1,0,1,\"V\"\r\n1,1,1,1,1\r\n"
            "16711680,16777215,65280,0,255,16777215,16776960,0,16711935,16777215\r\n"
            "#FALSE#,#TRUE#,0,1,0\r\n0,1\r\n"
            "16711680,65280,255,16776960,16711935,16777215\r\n"
            "16777215,0,16777215,0,16777215,0\r\n"
            "#FALSE#,#FALSE#,#FALSE#,#TRUE#\r\n\"DATOS.DAT\"\r\n");
        f.close();
        Session session;
        SettingsModel& m = session.settings();
        // Without a dialog, the drafts are whatever the model holds.
        m.setDrafts(QStringLiteral("1"), QStringLiteral("V"));
        QVERIFY(LoadConfiguration(session, name));
        QCOMPARE(m.typeOption(), int16_t(3));
        QCOMPARE(m.modeCaption(), QStringLiteral("AD12 M=0"));
        QCOMPARE(session.g.PortBase, int16_t(632));
        QCOMPARE(m.moduleKind(), ModuleKind::Converter12);
        QCOMPARE(m.dataFileCaption(), QStringLiteral("DATOS.DAT"));
    }

    void modeCaptions_data() {
        QTest::addColumn<int>("typeOption");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("caption");
        QTest::newRow("ADT") << 0 << 0 << "ADT M=0";
        QTest::newRow("ADQ") << 1 << 1 << "ADQ M=1";
        QTest::newRow("AD8") << 2 << 3 << "AD8 M=3";
        QTest::newRow("AD12") << 3 << 1 << "AD12 M=1";
        QTest::newRow("none") << -1 << 2 << " M=2";
        QTest::newRow("beyond") << 4 << 0 << " M=0";
    }
    void modeCaptions() {
        QFETCH(int, typeOption);
        QFETCH(int, mode);
        QFETCH(QString, caption);
        QCOMPARE(modeCaption(typeOption, int16_t(mode)), caption);
    }

    void upperLimitByModuleKind_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<float>("scale");
        QTest::addColumn<bool>("fits");
        QTest::addColumn<float>("upper");
        QTest::newRow("8-bit") << 0 << 1.0f << true << 2.5f;
        QTest::newRow("12-bit") << 2 << 1.0f << true << 4.095f;
        QTest::newRow("half range counts as 8-bit") << 5 << 2.0f << true << 5.0f;
        QTest::newRow("beyond a single") << 2 << 1e38f << false << 0.0f;
    }
    void upperLimitByModuleKind() {
        QFETCH(int, kind);
        QFETCH(float, scale);
        QFETCH(bool, fits);
        QFETCH(float, upper);
        VarGlob g;
        g.ModuleType = static_cast<int16_t>(kind);
        SettingsModel m(g);
        const auto limit = upperPlotLimit(m.moduleKind(), scale);
        QCOMPARE(limit.has_value(), fits);
        if (fits) QCOMPARE(*limit, upper);
    }

    void eightBitKinds() {
        QVERIFY(isEightBit(ModuleKind::Converter8));
        QVERIFY(isEightBit(ModuleKind::Converter8HalfRange));
        QVERIFY(!isEightBit(ModuleKind::Converter12));
        QVERIFY(!isEightBit(ModuleKind::TypeOne));
    }

    // The plotter clears; only the recorder writes the sweep count and start.
    void clearingLeavesTheSweepToTheRecorder() {
        Session session;
        startEngines(session);
        DrawingSurface trace;
        trace.resize(200, 100);
        trace.setScale(0.0f, 2.5f, 100.0f, 0.0f);
        TracePlotter plotter(&trace);
        session.g.SampleCounter = 9;
        session.g.SweepStartTime = -1.0f;
        plotter.clear(PlotScale{}, true);
        QCOMPARE(session.g.SampleCounter, int16_t(9));
        QCOMPARE(session.g.SweepStartTime, -1.0f);
        session.recorder().restartSweep();
        QCOMPARE(session.g.SampleCounter, int16_t(0));
        QVERIFY(session.g.SweepStartTime >= 0.0f);
    }

    // Missing surfaces draw nothing rather than fail.
    void drawingWithoutSurfaces() {
        DrawingSurface trace;
        trace.resize(100, 50);
        trace.setScale(0.0f, 2.5f, 100.0f, 0.0f);
        DrawGraduations({&trace, nullptr, nullptr}, PlotScale{});
        DrawGrid(nullptr, PlotScale{}, 0);
        QVERIFY(true);
    }
};

QTEST_MAIN(TstSession)
#include "tst_session.moc"
