// SPDX-License-Identifier: GPL-3.0-or-later
// The sampling engine driven without any window: the acquisition thread's
// jobs run by hand on a clock the test moves, a sink that records what would
// be drawn, and the stand-in library (codes 11, 22, 33, 44 on every read).
#include <QCoreApplication>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <limits>

#include "acquisition/recorder.h"
#include "acquisition/sample_units.h"
#include "common/numbers.h"
#include "common/prompts.h"
#include "core/tavo_library.h"
#include "core/trace_sink.h"
#include "core/var_glob.h"

namespace {

class FakeClock : public Clock {
  public:
    double now() const override { return t; }
    double t = 1000.0;
};

class FakeSink : public TraceSink {
  public:
    void prepare() override { calls << "prepare"; }
    void show() override { calls << "show"; }
    void setTimeScale(int samples) override { calls << QStringLiteral("scale %1").arg(samples); }
    void clearArea() override { calls << "clear"; }
    void drawGrid() override { calls << "grid"; }
    void drawGraduations() override { calls << "graduations"; }
    void segment(int row, float x1, float y1, float x2, float y2) override {
        calls << QStringLiteral("seg %1 %2,%3 %4,%5").arg(row).arg(x1).arg(y1).arg(x2).arg(y2);
    }
    void xyLine(float x1, float y1, float x2, float y2) override {
        calls << QStringLiteral("xy %1,%2 %3,%4").arg(x1).arg(y1).arg(x2).arg(y2);
    }
    QStringList calls;
};

}  // namespace

class TstRecorder : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    RecorderSettings s_;
    VarGlob g_;
    FakeSink sink_;
    FakeClock* clock_ = nullptr;
    std::shared_ptr<AcquisitionThread> thread_;
    std::unique_ptr<TavoLibrary> lib_;
    std::unique_ptr<Recorder> rec_;
    QList<MessageRequest> messages_;

    QString file() const { return dir_.filePath(QStringLiteral("DATOS.DAT")); }
    QStringList lines() const {
        QFile f(file());
        if (!f.open(QIODevice::ReadOnly)) return {};
        return QString::fromLatin1(f.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    }
    // Runs the next n samples, moving the clock to each one's due time.
    void tick(int n) {
        for (int i = 0; i < n && armed(); ++i) {
            step();
            // A sweep's file is written just after its sample is taken.
            QCoreApplication::sendPostedEvents();
        }
    }
    // One sample at its due time; the output the sample records is the
    // one the test set.
    void step() {
        rec_->outputCode()->store(g_.AnalogOutValue);
        clock_->t = std::max(clock_->t, *rec_->nextSampleDue());
        thread_->runDue();
    }
    bool armed() const { return rec_ && rec_->timerActive(); }
    double delayMs() const { return (*rec_->nextSampleDue() - clock_->t) * 1000.0; }
    float code8(int code) const { return float(code) * inputFactor8(1.0f, ModuleKind::Converter8); }

  private slots:
    void init() {
        s_ = RecorderSettings{};
        g_ = VarGlob{};
        g_.PortBase = 888;
        g_.RequestedSamples = 100;
        g_.DataFileName = file();
        QFile::remove(file());
        sink_.calls.clear();
        messages_.clear();
        prompts::setMessageHook([this](const MessageRequest& r) { messages_ << r; });
        lib_ = std::make_unique<TavoLibrary>(QCoreApplication::applicationDirPath() + "/standin",
                                             false);
        auto clock = std::make_unique<FakeClock>();
        clock_ = clock.get();
        thread_ = std::make_shared<AcquisitionThread>(std::move(clock));
        rec_ = std::make_unique<Recorder>(
            *lib_, g_, [this] { return s_; }, &sink_, thread_);
        rec_->setYield([] {});
    }
    void cleanup() {
        rec_.reset();
        thread_.reset();
        prompts::setMessageHook({});
        qunsetenv("KALMOR_STANDIN_AD8_SILENT");
        qunsetenv("KALMOR_STANDIN_LOG");
    }

    void onceModeWritesTheWholeSweep_data() {
        QTest::addColumn<int>("samples");
        QTest::addColumn<int>("period");
        QTest::addColumn<QString>("lastTime");
        QTest::newRow("50 x 100 ms") << 50 << 100 << "4900";
        QTest::newRow("100 x 250 ms") << 100 << 250 << "24750";
        QTest::newRow("10000 x 30 s") << 10000 << 30000 << "2.9997E+08";
    }
    void onceModeWritesTheWholeSweep() {
        QFETCH(int, samples);
        QFETCH(int, period);
        QFETCH(QString, lastTime);
        g_.RequestedSamples = int16_t(samples);
        g_.PeriodMs = int16_t(period);
        s_.once = true;
        QSignalSpy blanked(rec_.get(), &Recorder::samplingStopped);
        QSignalSpy period_(rec_.get(), &Recorder::periodMeasured);
        rec_->StartStopRecording();
        tick(samples + 5);
        QVERIFY(!rec_->recording());
        QVERIFY(!armed());
        QCOMPARE(blanked.count(), 1);
        QCOMPARE(period_.count(), 0);
        const QStringList l = lines();
        QCOMPARE(l.size(), samples);
        QCOMPARE(l.first(), QStringLiteral("0,%1,%2,%3,%4,0")
                                .arg(plainNumber(code8(11)), plainNumber(code8(22)),
                                     plainNumber(code8(33)), plainNumber(code8(44))));
        QCOMPARE(l.last().section(',', 0, 0), lastTime);
    }

    // A stop writes the samples before the present one; with none, the
    // previous file stays.
    void stopWritesSamplesBeforeThePresentOne_data() {
        QTest::addColumn<int>("ticks");
        QTest::addColumn<int>("expected");
        QTest::newRow("before the first sample") << 0 << -1;
        QTest::newRow("after the first") << 1 << -1;
        QTest::newRow("after the 10th") << 10 << 9;
    }
    void stopWritesSamplesBeforeThePresentOne() {
        QFETCH(int, ticks);
        QFETCH(int, expected);
        QFile f(file());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("previous\r\n");
        f.close();
        rec_->StartStopRecording();
        tick(ticks);
        rec_->StartStopRecording();
        const QStringList l = lines();
        if (expected < 0) {
            QCOMPARE(l, QStringList{"previous"});
        } else {
            QCOMPARE(l.size(), expected);
        }
    }

    // Continuous sweeps rewrite the file with the latest sweep; the period is
    // measured over N + 1 intervals in the first sweep, N in later ones.
    void continuousSweepsKeepTheLatest() {
        g_.RequestedSamples = 50;
        QSignalSpy period(rec_.get(), &Recorder::periodMeasured);
        rec_->StartStopRecording();
        g_.AnalogOutValue = 1;
        tick(50);
        g_.AnalogOutValue = 2;
        tick(51);
        QCOMPARE(lines().size(), 50);
        for (const QString& line : lines()) QCOMPARE(line.section(',', 5), QStringLiteral("2"));
        tick(49);
        QCOMPARE(period.count(), 2);
        QCOMPARE(period.at(0).at(0).toDouble(), 102.0);
        QCOMPARE(period.at(1).at(0).toDouble(), 100.0);
        QCOMPARE(periodText(99.5), QStringLiteral("100"));
        QCOMPARE(periodText(std::numeric_limits<double>::infinity()), QString());
        QCOMPARE(g_.SampleCounter, int16_t(50));
        QVERIFY(rec_->recording());
    }

    // A period typed during the recording is the next recording's: the
    // file's times and the ticks keep the sweep's own, and the next start's
    // first interval is the new one.
    void periodTypedDuringARecordingWaitsForTheNext() {
        g_.RequestedSamples = 50;
        rec_->StartStopRecording();
        tick(2);
        g_.PeriodMs = 250;
        tick(49);
        QCOMPARE(delayMs(), 100.0);
        QCOMPARE(lines().value(1).section(',', 0, 0), QStringLiteral("100"));
        QCOMPARE(lines().value(49).section(',', 0, 0), QStringLiteral("4900"));
        rec_->StartStopRecording();
        rec_->StartStopRecording();
        QCOMPARE(delayMs(), 250.0);
        tick(1);
        QCOMPARE(delayMs(), 250.0);
    }

    // A sweep's write waits until after its tick, but neither a stop right
    // after it nor the engine's end loses it.
    void sweepWriteWaitingIsNotLost_data() {
        QTest::addColumn<bool>("destroy");
        QTest::newRow("stop") << false;
        QTest::newRow("engine ends") << true;
    }
    void sweepWriteWaitingIsNotLost() {
        QFETCH(bool, destroy);
        g_.RequestedSamples = 50;
        rec_->StartStopRecording();
        tick(50);
        // Not even events handled during the next read run it.
        rec_->setBetweenAttempts([] { QCoreApplication::sendPostedEvents(); });
        step();
        QVERIFY(lines().isEmpty());
        if (destroy) {
            rec_.reset();
        } else {
            rec_->StartStopRecording();
        }
        QCOMPARE(lines().size(), 50);
    }

    // Each sample is due at its slot counted from the sweep's start, not
    // after the read's own time; after one that ran past the next slot, that
    // slot's sample is taken at once and the one after keeps to the schedule
    // (the schedule never restarts from now).
    void ticksKeepToTheSchedule_data() {
        QTest::addColumn<double>("tickCostMs");
        QTest::addColumn<int>("taken");
        QTest::addColumn<double>("nextDelayMs");
        QTest::newRow("on time") << 0.0 << 1 << 100.0;
        QTest::newRow("slow tick") << 30.0 << 1 << 70.0;
        QTest::newRow("past its slot") << 130.0 << 2 << 70.0;
    }
    void ticksKeepToTheSchedule() {
        QFETCH(double, tickCostMs);
        QFETCH(int, taken);
        QFETCH(double, nextDelayMs);
        // Only the first read is slow (the engine runs a copy of the hook).
        auto first = std::make_shared<bool>(true);
        rec_->setBetweenAttempts([this, tickCostMs, first] {
            if (*first) clock_->t += tickCostMs / 1000.0;
            *first = false;
        });
        rec_->StartStopRecording();
        tick(1);
        QVERIFY(armed());
        QCOMPARE(int(g_.SampleCounter), taken);
        QCOMPARE(delayMs(), nextDelayMs);
        rec_->pause();
        QVERIFY(!armed());
        clock_->t += 7.0;
        rec_->resume();
        QCOMPARE(delayMs(), 100.0);
    }

    // Resuming and "Limpiar" start the schedule again from that moment:
    // the next sample is one period later, not at the old schedule's slot.
    void resumeAndClearRestartTheSchedule_data() {
        QTest::addColumn<bool>("clear");
        QTest::newRow("resume") << false;
        QTest::newRow("Limpiar") << true;
    }
    void resumeAndClearRestartTheSchedule() {
        QFETCH(bool, clear);
        g_.RequestedSamples = 50;
        QSignalSpy period(rec_.get(), &Recorder::periodMeasured);
        rec_->StartStopRecording();
        tick(1);
        clock_->t += 0.030;
        if (clear) {
            rec_->restartSweep();
            QCOMPARE(g_.SampleCounter, int16_t(0));
        } else {
            rec_->pause();
            rec_->resume();
        }
        QVERIFY(armed());
        QCOMPARE(*rec_->nextSampleDue(), clock_->t + 0.1);
        tick(1);
        QCOMPARE(delayMs(), 100.0);
        if (clear) {
            // The sweep after the clear is timed from the clear: 51 intervals
            // over 50 samples, as a first sweep.
            tick(50);
            QCOMPARE(period.count(), 1);
            QCOMPARE(periodText(period.at(0).at(0).toDouble()), QStringLiteral("102"));
        }
    }

    // The time the reads were held (configure panel, adjustment, printing)
    // is left out of the measured period, wherever in a slot the hold
    // began; a hold in one sweep does not shorten the next.
    void heldTimeIsLeftOutOfThePeriod_data() {
        QTest::addColumn<double>("intoSlot");
        QTest::addColumn<double>("heldSeconds");
        QTest::addColumn<int>("holds");
        QTest::addColumn<bool>("clearWhileHeld");
        QTest::newRow("mid-slot") << 0.03 << 7.0 << 1 << false;
        QTest::newRow("right after a sample") << 0.0 << 2.5 << 1 << false;
        QTest::newRow("two holds") << 0.07 << 1.0 << 2 << false;
        QTest::newRow("Limpiar while held") << 0.03 << 3.0 << 1 << true;
    }
    void heldTimeIsLeftOutOfThePeriod() {
        QFETCH(double, intoSlot);
        QFETCH(double, heldSeconds);
        QFETCH(int, holds);
        QFETCH(bool, clearWhileHeld);
        g_.RequestedSamples = 50;
        QSignalSpy period(rec_.get(), &Recorder::periodMeasured);
        rec_->StartStopRecording();
        tick(51);
        QCOMPARE(period.count(), 1);
        for (int h = 0; h < holds; ++h) {
            tick(10);
            clock_->t += intoSlot;
            rec_->pause();
            clock_->t += heldSeconds / 2;
            // "Limpiar" starts the sweep over: timed from the resume.
            if (clearWhileHeld) rec_->restartSweep();
            clock_->t += heldSeconds / 2;
            rec_->resume();
        }
        // A cleared sweep is a first one: 51 intervals over 50 samples.
        tick(clearWhileHeld ? 51 : 50 - 10 * holds);
        QCOMPARE(period.count(), 2);
        QCOMPARE(periodText(period.at(1).at(0).toDouble()),
                 QStringLiteral("%1").arg(clearWhileHeld ? 102 : 100));
        QCOMPARE(period.at(1).at(0).toDouble(), clearWhileHeld ? 102.0 : 100.0);
        tick(50);
        QCOMPARE(period.count(), 3);
        QCOMPARE(period.at(2).at(0).toDouble(), 100.0);
    }

    void silentEightBitModuleGivesZerosAfterTenAttempts() {
        const QString log = dir_.filePath("calls.log");
        qputenv("KALMOR_STANDIN_LOG", log.toLocal8Bit());
        qputenv("KALMOR_STANDIN_AD8_SILENT", "1");
        int yields = 0;
        rec_->setBetweenAttempts([&yields] { ++yields; });
        rec_->StartStopRecording();
        tick(1);
        QCOMPARE(yields, 10);
        QFile f(log);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll().count("Leer_Ad8b32 888 0"), 10);
        for (int row = 0; row < 4; ++row) QCOMPARE(rec_->sampleBuffer().at(row, 1), 0.0f);
        QVERIFY(sink_.calls.contains("seg 0 0,0 1,0"));
        QVERIFY(messages_.isEmpty());
        QVERIFY(armed());
    }

    void channelsAndOutputInUnitsByModuleType_data() {
        QTest::addColumn<int>("type");
        QTest::addColumn<float>("ch0");
        QTest::addColumn<QString>("outputLabel");
        QTest::newRow("8-bit") << 0 << float(11 * float(2.5 / 255)) << formatValue(2.0);
        QTest::newRow("type 5") << 5 << float(11 * float(1.25 / 255)) << formatValue(2.0);
        QTest::newRow("12-bit") << 2 << float(11 * float(4.095 / 4095)) << formatValue(0.2);
    }
    void channelsAndOutputInUnitsByModuleType() {
        QFETCH(int, type);
        QFETCH(float, ch0);
        QFETCH(QString, outputLabel);
        g_.ModuleType = int16_t(type);
        g_.AnalogOutValue = 200;
        QSignalSpy values(rec_.get(), &Recorder::valueChanged);
        rec_->StartStopRecording();
        tick(1);
        QCOMPARE(rec_->sampleBuffer().at(0, 1), ch0);
        QCOMPARE(rec_->sampleBuffer().at(4, 1), 200.0f);
        QCOMPARE(values.count(), 5);
        QCOMPARE(values.at(4).at(1).toString(), outputLabel);
    }

    // A cleared row is stored but neither shown nor drawn; ticked again, it
    // joins from the value it had when cleared.
    void hiddenRowsAreStoredNotDrawn() {
        QSignalSpy values(rec_.get(), &Recorder::valueChanged);
        rec_->StartStopRecording();
        tick(1);
        s_.visible[2] = false;
        tick(2);
        for (const QList<QVariant>& v : values.mid(5)) QVERIFY(v.at(0).toInt() != 2);
        QCOMPARE(sink_.calls.filter("seg 2 ").size(), 1);
        QCOMPARE(rec_->sampleBuffer().at(2, 3), code8(33));
        s_.visible[2] = true;
        tick(1);
        QCOMPARE(sink_.calls.last(), QStringLiteral("seg 4 3,0 4,0"));
        QVERIFY(sink_.calls.contains(QStringLiteral("seg 2 3,%1 4,%1").arg(code8(33))));
    }

    void xyModeDrawsOnePolyline_data() {
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::addColumn<int>("labels");
        QTest::addColumn<QString>("line");
        QTest::newRow("CH 0 against CH 1")
            << 0 << 1 << 2 << QStringLiteral("xy 0,0 %1,%2").arg(code8(11)).arg(code8(22));
        QTest::newRow("equal channels")
            << 2 << 2 << 1 << QStringLiteral("xy 0,0 %1,%1").arg(code8(33));
        QTest::newRow("channel out of range")
            << 7 << 1 << 1 << QStringLiteral("xy 0,0 0,%1").arg(code8(22));
    }
    void xyModeDrawsOnePolyline() {
        QFETCH(int, x);
        QFETCH(int, y);
        QFETCH(int, labels);
        QFETCH(QString, line);
        s_.xyMode = true;
        g_.XYChannelX = int16_t(x);
        g_.XYChannelY = int16_t(y);
        QSignalSpy values(rec_.get(), &Recorder::valueChanged);
        rec_->StartStopRecording();
        tick(1);
        QCOMPARE(values.count(), labels);
        // Each value goes to its own row's label: X to X, Y to Y.
        for (const QList<QVariant>& v : values) {
            const int row = v.at(0).toInt();
            QVERIFY(row == x || row == y);
            QCOMPARE(v.at(1).toString(), formatValue(code8(11 * (row + 1))));
        }
        QCOMPARE(sink_.calls.last(), line);
        QVERIFY(!sink_.calls.contains("scale 100"));
        QVERIFY(armed());
    }

    // Without AutoBorrado the next sweep joins the last one at x = 0.
    void sweepEndClearsOnlyWithAutoClear_data() {
        QTest::addColumn<bool>("autoClear");
        QTest::newRow("joined") << false;
        QTest::newRow("cleared") << true;
    }
    void sweepEndClearsOnlyWithAutoClear() {
        QFETCH(bool, autoClear);
        g_.RequestedSamples = 50;
        s_.autoClear = autoClear;
        s_.visible = {true, false, false, false, false};
        rec_->StartStopRecording();
        tick(50);
        sink_.calls.clear();
        tick(1);
        const QString join = QStringLiteral("seg 0 0,%1 1,%1").arg(code8(11));
        const QStringList expected =
            autoClear ? QStringList{"clear", "grid", join} : QStringList{join};
        QCOMPARE(sink_.calls, expected);
    }

    // A stop during a read stays a stop; the interrupted sample is still
    // stored but not written.
    void stopDuringTheYieldStaysAStop() {
        int yields = 0;
        rec_->setBetweenAttempts([&] {
            if (++yields == 3) rec_->StartStopRecording();
        });
        rec_->StartStopRecording();
        tick(3);
        QVERIFY(!rec_->recording());
        QVERIFY(!armed());
        QCOMPARE(lines().size(), 2);
        QCOMPARE(rec_->sampleBuffer().at(0, 3), code8(11));
    }

    // A stop and a new start during a read: the read's sample belonged to
    // the old recording and is dropped; the new one starts at its own first
    // slot.
    void restartDuringTheYieldDropsTheSample() {
        int yields = 0;
        rec_->setBetweenAttempts([&] {
            if (++yields != 3) return;
            rec_->StartStopRecording();
            sink_.calls.clear();
            rec_->StartStopRecording();
        });
        QSignalSpy counter(rec_.get(), &Recorder::counterChanged);
        rec_->StartStopRecording();
        tick(3);
        QCOMPARE(counter.count(), 2);
        QCOMPARE(g_.SampleCounter, int16_t(0));
        for (int row = 0; row < 5; ++row) {
            for (int k = 0; k <= 3; ++k) QCOMPARE(rec_->sampleBuffer().at(row, k), 0.0f);
        }
        QVERIFY(sink_.calls.filter("seg ").isEmpty());
        QVERIFY(armed());
        QCOMPARE(delayMs(), 100.0);
    }

    // A pause during a read holds the reads: no other is scheduled.
    void pauseDuringTheYieldHoldsTheTicks() {
        rec_->setBetweenAttempts([this] { rec_->pause(); });
        rec_->StartStopRecording();
        tick(1);
        QCOMPARE(g_.SampleCounter, int16_t(1));
        QVERIFY(!armed());
        rec_->setBetweenAttempts([] {});
        rec_->resume();
        QVERIFY(armed());
    }

    // Only a start with another sample count clears the plot a second time.
    void startClearsAgainOnlyForANewSampleCount_data() {
        QTest::addColumn<int>("requested");
        QTest::addColumn<int>("clears");
        QTest::newRow("same count") << 100 << 0;
        QTest::newRow("another count") << 60 << 1;
    }
    void startClearsAgainOnlyForANewSampleCount() {
        QFETCH(int, requested);
        QFETCH(int, clears);
        g_.SweepSamples = 100;
        g_.RequestedSamples = int16_t(requested);
        rec_->StartStopRecording();
        QCOMPARE(sink_.calls.count("clear"), clears);
        QCOMPARE(g_.SweepSamples, int16_t(requested));
    }

    void destroyedDuringTheYield() {
        rec_->setBetweenAttempts([this] { rec_.reset(); });
        rec_->StartStopRecording();
        tick(1);
        QVERIFY(!rec_);
    }

    // A library that cannot be bound skips only the read: the tick stores
    // zeros, draws, and re-arms, without telling the user.
    void unboundLibraryOnlySkipsTheRead() {
        lib_->setSearch(dir_.path(), false);
        rec_->StartStopRecording();
        tick(2);
        QVERIFY(messages_.isEmpty());
        QCOMPARE(g_.SampleCounter, int16_t(2));
        QCOMPARE(rec_->sampleBuffer().at(0, 2), 0.0f);
        QVERIFY(armed());
    }

    // The first failure of a recording is told as such; a success clears it.
    void writeFailuresAreReported() {
        g_.RequestedSamples = 50;
        g_.DataFileName = dir_.filePath("missing/DATOS.DAT");
        QSignalSpy failed(rec_.get(), &Recorder::writeFailed);
        QSignalSpy written(rec_.get(), &Recorder::writeSucceeded);
        rec_->StartStopRecording();
        tick(101);
        QCOMPARE(failed.count(), 2);
        QCOMPARE(failed.at(0).at(2).toBool(), true);
        QCOMPARE(failed.at(1).at(2).toBool(), false);
        QVERIFY(!failed.at(0).at(1).toString().isEmpty());
        g_.DataFileName = file();
        tick(50);
        QCOMPARE(written.count(), 1);
        g_.DataFileName = dir_.filePath("missing/DATOS.DAT");
        tick(50);
        QCOMPARE(failed.at(2).at(2).toBool(), true);
    }
};

QTEST_MAIN(TstRecorder)
#include "tst_recorder.moc"
