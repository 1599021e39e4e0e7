// SPDX-License-Identifier: GPL-3.0-or-later
// Playback, the preview and the graphic editor's drawing, without windows:
// the timer and the clock are driven by hand.
#include <QSignalSpy>
#include <QtTest>

#include "acquisition/analog_output.h"
#include "core/tavo_library.h"
#include "core/var_glob.h"
#include "display/drawing_surface.h"
#include "display/waveform_preview.h"
#include "generator/signal_drawing.h"
#include "generator/wave_player.h"
#include "generator/wave_tables.h"
#include "startup/session_engines.h"

namespace {

class FakeClock : public Clock {
  public:
    double now() const override { return t; }
    double t = 1048576.0;
};

class FakeTimer : public PlaybackTimer {
  public:
    void start(int ms) override {
        running = true;
        intervalMs = ms;
    }
    void stop() override { running = false; }
    bool active() const override { return running; }
    bool running = false;
    int intervalMs = 0;
};

}  // namespace

class TstWavePlayer : public QObject {
    Q_OBJECT

    VarGlob g_;
    std::unique_ptr<TavoLibrary> lib_;
    std::unique_ptr<AnalogOutput> out_;
    std::unique_ptr<WavePlayer> player_;
    FakeClock* clock_ = nullptr;
    FakeTimer* timer_ = nullptr;
    int maximum_ = 4095;

    // Fires the running timer n times, the clock moving one step each time.
    QList<int> play(int n, double stepSeconds = 0.0) {
        QList<int> codes;
        for (int i = 0; i < n && timer_->running; ++i) {
            clock_->t += stepSeconds;
            timer_->fired();
            codes << out_->AnalogOutValue();
        }
        return codes;
    }

  private slots:
    void init() {
        g_ = VarGlob{};
        g_.ModuleType = 2;
        maximum_ = 4095;
        lib_ = std::make_unique<TavoLibrary>(QCoreApplication::applicationDirPath() + "/standin",
                                             false);
        out_ = std::make_unique<AnalogOutput>(*lib_, g_);
        auto clock = std::make_unique<FakeClock>();
        auto timer = std::make_unique<FakeTimer>();
        clock_ = clock.get();
        timer_ = timer.get();
        player_ =
            std::make_unique<WavePlayer>(g_, playbackOutput(*out_, [this] { return maximum_; }),
                                         std::move(timer), std::move(clock));
    }
    void cleanup() {
        player_.reset();
        out_.reset();
        lib_.reset();
    }

    void equalEntriesWriteTheConverterOnce() {
        GeneratePeriodic(g_, 1, 250, 0, 1000);
        QSignalSpy writes(out_.get(), &AnalogOutput::changed);
        player_->setPlaying(true);
        QCOMPARE(timer_->intervalMs, 50);
        play(12);
        QCOMPARE(writes.size(), 1);
        QCOMPARE(out_->AnalogOutValue(), int16_t(1000));
    }

    void impulsePlaysOnceAndStops() {
        GenerateStimulus(g_, 0, 4000, 200, 100);
        QSignalSpy passes(player_.get(), &WavePlayer::passMeasured);
        QSignalSpy playing(player_.get(), &WavePlayer::playingChanged);
        player_->setPlaying(true);
        QCOMPARE(play(5, 0.046875), (QList<int>{100, 300, 100}));
        QVERIFY(!timer_->running);
        QVERIFY(!player_->playing());
        QCOMPARE(out_->AnalogOutValue(), int16_t(100));
        // Three steps of 46.875 ms, measured on a clock far from its origin.
        QCOMPARE(passes.size(), 1);
        QCOMPARE(passes[0][0].toInt(), 140);
        QCOMPARE(playing.last()[0].toBool(), false);
    }

    void periodicTableRepeatsAndMeasuresEachPass() {
        GeneratePeriodic(g_, 1, 200, 100, 200);
        QSignalSpy passes(player_.get(), &WavePlayer::passMeasured);
        player_->setPlaying(true);
        QCOMPARE(play(9, 0.0625), (QList<int>{250, 250, 150, 150, 250, 250, 150, 150, 250}));
        QCOMPARE(passes.size(), 2);
        QCOMPARE(passes[1][0].toInt(), 250);
        QVERIFY(timer_->running);
    }

    void offAndOnRestartsAtEntryOne() {
        GenerateStimulus(g_, 2, 1000, 1000, 0);
        player_->setPlaying(true);
        QCOMPARE(play(3), (QList<int>{0, 50, 100}));
        player_->setPlaying(false);
        QVERIFY(!timer_->running);
        player_->setPlaying(true);
        QCOMPARE(play(2), (QList<int>{0, 50}));
    }

    void entriesBeyondTheOutputAreHeldAtItsMaximum() {
        maximum_ = 255;
        GenerateStimulus(g_, 1, 200, 4000, 0);
        player_->setPlaying(true);
        QCOMPARE(play(1), QList<int>{255});
    }

    void clearingStopsAndEmptiesTheTable() {
        GeneratePeriodic(g_, 0, 5000, 1500, 2048);
        g_.WaveOneShot = kTrue;
        player_->setPlaying(true);
        play(3);
        QSignalSpy cleared(player_.get(), &WavePlayer::cleared);
        player_->ClearWaveform();
        QCOMPARE(cleared.size(), 1);
        QVERIFY(!timer_->running);
        QCOMPARE(int(g_.WaveLength), 0);
        QCOMPARE(g_.WaveOneShot, kFalse);
        // The output keeps its last value.
        QCOMPARE(out_->AnalogOutValue(), g_.WaveTable[3]);
    }

    void previewOfAOneShotHoldsItsLastEntry() {
        GenerateStimulus(g_, 0, 4000, 200, 100);
        const std::vector<int16_t> v = previewValues(g_);
        QCOMPARE(int(v.size()), 300);
        QCOMPARE(int(v[0]), 100);
        QCOMPARE(int(v[1]), 300);
        QVERIFY(std::all_of(v.begin() + 2, v.end(), [](int16_t y) { return y == 100; }));
    }

    void previewOfAPeriodicTableRepeatsIt() {
        GeneratePeriodic(g_, 0, 5000, 1500, 2048);
        const std::vector<int16_t> v = previewValues(g_);
        for (int x = 1; x <= 100; ++x) {
            QCOMPARE(v[x - 1], g_.WaveTable[x]);
            QCOMPARE(v[x + 99], g_.WaveTable[x]);
            QCOMPARE(v[x + 199], g_.WaveTable[x]);
        }
        g_.WaveLength = 0;
        QVERIFY(previewValues(g_).empty());
    }

    void previewTop_data() {
        QTest::addColumn<float>("scale");
        QTest::addColumn<int>("type");
        QTest::addColumn<float>("upper");
        QTest::addColumn<float>("top");
        QTest::newRow("12-bit volts") << 1.0f << 2 << 4.095f << 4095.0f;
        QTest::newRow("8-bit volts") << 1.0f << 0 << 2.5f << 250.0f;
        QTest::newRow("type 1 scales as 12-bit") << 1.0f << 1 << 4.095f << 4095.0f;
        QTest::newRow("half-range 8-bit") << 1.0f << 5 << 2.5f << 250.0f;
        QTest::newRow("scale 0") << 0.0f << 2 << 4.095f << 0.0f;
        QTest::newRow("12-bit scale above 2000") << 2001.0f << 2 << 4.095f << 0.0f;
        QTest::newRow("8-bit scale above 200") << 201.0f << 0 << 2.5f << 0.0f;
        QTest::newRow("factor beyond 16 bits") << 0.001f << 2 << 4.095f << 0.0f;
        QTest::newRow("upper 0") << 1.0f << 2 << 0.0f << 0.0f;
    }
    void previewTop() {
        QFETCH(float, scale);
        QFETCH(int, type);
        QFETCH(float, upper);
        QFETCH(float, top);
        const auto got = ::previewTop(scale, moduleKindOf(int16_t(type)), upper);
        QCOMPARE(got.value_or(0.0f), top);
    }

    void previewDrawsNothingWithoutATable() {
        DrawingSurface pic;
        pic.resize(300, 60);
        g_.Colores[4][1] = 0x0000FF;
        g_.Colores[5][1] = 0xFFFFFF;
        QVERIFY(!DrawWaveformPreview(pic, g_, 4.095f));
        GeneratePeriodic(g_, 1, 5000, 1000, 2048);
        QVERIFY(DrawWaveformPreview(pic, g_, 4.095f));
        const QImage& image = pic.persistentImage();
        int traced = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) traced += image.pixel(x, y) == qRgb(255, 0, 0);
        QVERIFY(traced > 300);
    }

    // A click draws only right of the last point's column: the pointer says
    // so, on that column too.
    void pointerCanDrawRightOfTheLastColumn_data() {
        QTest::addColumn<float>("x");
        QTest::addColumn<bool>("canDraw");
        QTest::newRow("column before") << 10.9f << false;
        QTest::newRow("the last point's column") << 11.0f << false;
        QTest::newRow("end of that column") << 11.99f << false;
        QTest::newRow("next column") << 12.0f << true;
        QTest::newRow("far right") << 300.5f << true;
    }
    void pointerCanDrawRightOfTheLastColumn() {
        QFETCH(float, x);
        QFETCH(bool, canDraw);
        SignalDrawing d(g_);
        d.reset();
        QVERIFY(d.move(1.0f, 0.0f).canDraw);
        d.press(1.0f, 100.0f);
        d.press(11.5f, 200.0f);
        QCOMPARE(d.lastX(), int16_t(11));
        QCOMPARE(d.move(x, 0.0f).canDraw, canDraw);
        // What the pointer says is what a click does.
        QCOMPARE(d.press(x, 300.0f).refused, !canDraw);
    }

    void drawingFollowsTheClicks() {
        SignalDrawing d(g_);
        d.reset();
        auto first = d.press(57.3f, 1000.0f);
        QVERIFY(first.firstPoint);
        QCOMPARE(first.pointX, 1.0f);
        QCOMPARE(d.periodText(), QStringLiteral("50"));
        QCOMPARE(d.amplitudeText(), QStringLiteral(" 0"));
        QCOMPARE(d.offsetText(), QStringLiteral(" 1000"));

        auto second = d.press(11.7f, 2000.0f);
        QCOMPARE(int(second.segments.size()), 10);
        QCOMPARE(g_.DrawnSignal[1], 1001.0f);
        for (int i = 2; i <= 11; ++i) QCOMPARE(g_.DrawnSignal[i], 1000.0f + 100.0f * (i - 1));
        QCOMPARE(d.periodText(), QStringLiteral("550"));
        QCOMPARE(d.amplitudeText(), QStringLiteral(" 1000"));
        QCOMPARE(d.offsetText(), QStringLiteral(" 1500"));

        // At or left of the last point: refused, labels as they were.
        QVERIFY(d.press(11.2f, 0.0f).refused);
        QVERIFY(d.press(3.0f, 0.0f).refused);
        QCOMPARE(d.amplitudeText(), QStringLiteral(" 1000"));

        const auto left = d.move(5.6f, 10.9f);
        QVERIFY(!left.canDraw);
        QCOMPARE(left.timeText, QStringLiteral("250"));
        QCOMPARE(left.valueText, QStringLiteral("10"));
        QVERIFY(d.move(12.0f, 0.0f).canDraw);

        AcceptDrawnSignal(g_, d.lastX(), false, 4095);
        QCOMPARE(int(g_.WaveLength), 11);
        QCOMPARE(g_.WaveOneShot, kTrue);
        QCOMPARE(int(g_.WaveTable[1]), 1001);

        d.reset();
        QCOMPARE(int(g_.WaveLength), 0);
        QCOMPARE(g_.DrawnSignal[5], 0.0f);
        QCOMPARE(d.lastX(), int16_t(0));
        QVERIFY(d.press(200.0f, -5.0f).firstPoint);
        QCOMPARE(d.offsetText(), QStringLiteral("-5"));
    }
};

QTEST_MAIN(TstWavePlayer)
#include "tst_wave_player.moc"
