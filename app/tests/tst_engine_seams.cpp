// SPDX-License-Identifier: GPL-3.0-or-later
// The engines without their windows: the generator's clear action and the
// trace area's clear (which erases what was drawn), each reported once
// through its signal.
#include <QSignalSpy>
#include <QtTest>

#include "acquisition/analog_output.h"
#include "acquisition/recorder.h"
#include "core/tavo_library.h"
#include "core/var_glob.h"
#include "display/drawing_surface.h"
#include "display/trace_plotter.h"
#include "generator/wave_player.h"
#include "startup/session_engines.h"
#include "test_images.h"
#include "widgets/colours.h"

class TstEngineSeams : public QObject {
    Q_OBJECT
  private slots:
    void clearingTheWaveformStopsPlayback() {
        VarGlob g;
        TavoLibrary library(QCoreApplication::applicationDirPath() + "/standin", false);
        AnalogOutput output(library, g);
        WavePlayer player(g, playbackOutput(output, {}));
        g.WaveLength = 3;
        player.setPlaying(true);
        QSignalSpy cleared(&player, &WavePlayer::cleared);
        player.ClearWaveform();
        QVERIFY(!player.timer()->isActive());
        QCOMPARE(cleared.size(), 1);
    }

    void clearingTheTraceStartsANewSweepCount() {
        VarGlob g;
        DrawingSurface trace;
        trace.resize(200, 100);
        trace.setScale(0.0f, 2.5f, 100.0f, 0.0f);
        TracePlotter plotter(&trace);
        // The window that owns the area has the recorder restart its sweep.
        TavoLibrary library;
        Recorder recorder(library, g, [] { return RecorderSettings{}; });
        connect(&plotter, &TracePlotter::cleared, &recorder, &Recorder::restartSweep);
        g.SampleCounter = 7;
        QSignalSpy cleared(&plotter, &TracePlotter::cleared);
        plotter.segment(0.0f, 0.0f, 100.0f, 2.5f, 0x0000FF);
        QVERIFY(hasColour(trace.shownImage(), 0x0000FF));
        plotter.clear(PlotScale{}, false);
        QVERIFY(!hasColour(trace.shownImage(), 0x0000FF));
        QCOMPARE(g.SampleCounter, int16_t(0));
        QCOMPARE(cleared.size(), 1);
    }
};

QTEST_MAIN(TstEngineSeams)
#include "tst_engine_seams.moc"
