// SPDX-License-Identifier: GPL-3.0-or-later
// The acquisition thread and what runs on it: the recording's reads and the
// generator's steps at their slots, the window's commands landing before,
// during and after a read, and the same on a real thread (which the thread
// sanitizer build watches).
#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <thread>

#include "acquisition/analog_output.h"
#include "acquisition/recorder.h"
#include "core/acquisition_thread.h"
#include "core/mailbox.h"
#include "core/tavo_library.h"
#include "core/var_glob.h"
#include "generator/playback_steps.h"
#include "generator/wave_player.h"

namespace {

class FakeClock : public Clock {
  public:
    double now() const override { return t; }
    double t = 0.0;
};

enum class Phase { Before, During, After };
enum class Command { Stop, Pause, PauseResume };

}  // namespace

Q_DECLARE_METATYPE(Phase)
Q_DECLARE_METATYPE(Command)

class TstAcquisitionThread : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    VarGlob g_;
    RecorderSettings s_;
    FakeClock* clock_ = nullptr;
    std::shared_ptr<AcquisitionThread> thread_;
    std::unique_ptr<TavoLibrary> lib_;
    std::unique_ptr<Recorder> rec_;
    QList<SampleRecord> samples_;

    QString file() const { return dir_.filePath(QStringLiteral("DATOS.DAT")); }
    QString log() const { return dir_.filePath(QStringLiteral("calls.log")); }
    int fileLines() const {
        QFile f(file());
        if (!f.open(QIODevice::ReadOnly)) return 0;
        return static_cast<int>(f.readAll().count("\r\n"));
    }
    // Runs the job due next at its slot (late by lateMs).
    void step(double lateMs = 0.0) {
        const std::optional<double> due = thread_->nextDeadline();
        QVERIFY(due);
        clock_->t = std::max(clock_->t, *due + lateMs / 1000.0);
        thread_->runDue();
    }

  private slots:
    void init() {
        g_ = VarGlob{};
        g_.PortBase = 888;
        g_.RequestedSamples = 50;
        g_.PeriodMs = 100;
        g_.DataFileName = file();
        s_ = RecorderSettings{};
        QFile::remove(file());
        QFile::remove(log());
        qputenv("KALMOR_STANDIN_LOG", log().toLocal8Bit());
        lib_ = std::make_unique<TavoLibrary>(QCoreApplication::applicationDirPath() + "/standin",
                                             false);
        auto clock = std::make_unique<FakeClock>();
        clock_ = clock.get();
        thread_ = std::make_shared<AcquisitionThread>(std::move(clock));
        rec_ = std::make_unique<Recorder>(
            *lib_, g_, [this] { return s_; }, nullptr, thread_);
        samples_.clear();
        connect(rec_.get(), &Recorder::sampleTaken, this,
                [this](const SampleRecord& r) { samples_ << r; });
    }
    void cleanup() {
        rec_.reset();
        thread_.reset();
        qunsetenv("KALMOR_STANDIN_LOG");
    }

    // A read that starts late is taken at once, and so are the reads of the
    // slots the stall passed over, in order: every row keeps its own slot
    // (due = number x period) and none is added or left out. A stall past
    // the catch-up limit cannot be made good: the next read goes to the
    // first slot still ahead.
    void aStallIsCaughtUpSlotBySlot_data() {
        QTest::addColumn<double>("stallPeriods");
        QTest::addColumn<QList<double>>("lateMs");  // rows 1 to 8
        // Slots skipped after row 3.
        QTest::addColumn<int>("skipped");
        QTest::newRow("no stall") << 0.0 << QList<double>{0, 0, 0, 0, 0, 0, 0, 0} << 0;
        QTest::newRow("half a period") << 0.5 << QList<double>{0, 0, 50, 0, 0, 0, 0, 0} << 0;
        QTest::newRow("3.5 periods") << 3.5 << QList<double>{0, 0, 350, 250, 150, 50, 0, 0} << 0;
        QTest::newRow("past the limit: 15 periods")
            << 15.0 << QList<double>{0, 0, 1500, 0, 0, 0, 0, 0} << 15;
    }
    void aStallIsCaughtUpSlotBySlot() {
        QFETCH(double, stallPeriods);
        QFETCH(QList<double>, lateMs);
        QFETCH(int, skipped);
        rec_->StartStopRecording();
        step();
        step();
        step(stallPeriods * 100.0);
        while (samples_.size() < 8) step();
        QCOMPARE(samples_.size(), 8);
        for (int i = 0; i < samples_.size(); ++i) {
            const SampleRecord& r = samples_[i];
            QCOMPARE(r.index, i + 1);
            QCOMPARE(r.sweep, 1);
            QVERIFY2(std::abs(r.lateness() * 1000.0 - lateMs[i]) < 1e-6,
                     qPrintable(QString("row %1 late %2 ms").arg(i + 1).arg(r.lateness() * 1000)));
        }
        for (int i = 0; i < samples_.size(); ++i) {
            const int slot = i + 1 + (i >= 3 ? skipped : 0);
            QVERIFY(qFuzzyCompare(samples_[i].due, 0.1 * slot));
        }
    }

    // The window's stop, pause and resume before, during and after the
    // read of sample 3.
    void commandsAtEveryPhaseOfARead_data() {
        QTest::addColumn<Phase>("phase");
        QTest::addColumn<Command>("command");
        QTest::addColumn<int>("stored");  // samples taken in
        QTest::addColumn<int>("lines");   // data file lines after a stop
        QTest::addColumn<bool>("armed");
        QTest::newRow("stop before") << Phase::Before << Command::Stop << 2 << 1 << false;
        QTest::newRow("stop during") << Phase::During << Command::Stop << 3 << 2 << false;
        QTest::newRow("stop after") << Phase::After << Command::Stop << 3 << 2 << false;
        QTest::newRow("pause before") << Phase::Before << Command::Pause << 2 << 0 << false;
        QTest::newRow("pause during") << Phase::During << Command::Pause << 3 << 0 << false;
        QTest::newRow("pause after") << Phase::After << Command::Pause << 3 << 0 << false;
        // Resumed before the read: that read is the resumed schedule's first.
        QTest::newRow("pause, resume before")
            << Phase::Before << Command::PauseResume << 3 << 0 << true;
        QTest::newRow("pause, resume during")
            << Phase::During << Command::PauseResume << 3 << 0 << true;
        QTest::newRow("pause, resume after")
            << Phase::After << Command::PauseResume << 3 << 0 << true;
    }
    void commandsAtEveryPhaseOfARead() {
        QFETCH(Phase, phase);
        QFETCH(Command, command);
        QFETCH(int, stored);
        QFETCH(int, lines);
        QFETCH(bool, armed);
        double commandAt = 0.0;
        std::optional<double> dueAfter;
        const auto act = [&] {
            commandAt = clock_->t;
            if (command == Command::Stop) {
                rec_->StartStopRecording();
            } else {
                rec_->pause();
                if (command == Command::PauseResume) rec_->resume();
            }
            dueAfter = rec_->nextSampleDue();
        };
        rec_->StartStopRecording();
        step();
        step();
        if (phase == Phase::Before) {
            clock_->t += 0.05;
            act();
        }
        bool acted = false;
        rec_->setBetweenAttempts([&] {
            if (phase == Phase::During && !acted) {
                acted = true;
                act();
            }
        });
        if (thread_->nextDeadline()) step();
        rec_->setBetweenAttempts({});
        if (phase == Phase::After) act();
        QCOMPARE(samples_.size(), stored);
        QCOMPARE(g_.SampleCounter, int16_t(stored));
        QCOMPARE(rec_->recording(), command != Command::Stop);
        QCOMPARE(rec_->timerActive(), armed);
        QCOMPARE(fileLines(), lines);
        if (!armed) {
            QVERIFY(!thread_->nextDeadline());
            return;
        }
        // Resumed: the next sample one period after the resume, and then the
        // sweep goes on from where it was.
        QVERIFY(dueAfter);
        QVERIFY(qFuzzyCompare(*dueAfter, commandAt + 0.1));
        step();
        QCOMPARE(samples_.size(), stored + 1);
        QCOMPARE(samples_.last().index, stored + 1);
    }

    // A value typed during a read is written after it: the read's sample
    // records the output held before, the next one the new value.
    void outputTypedDuringAReadIsWrittenAfterIt() {
        AnalogOutput out(*lib_, g_);
        out.sendThrough(thread_, rec_->outputCode());
        g_.AnalogOutValue = 5;
        rec_->StartStopRecording();
        step();
        bool typed = false;
        rec_->setBetweenAttempts([&] {
            if (typed) return;
            typed = true;
            out.setCode(77);
        });
        step();
        step();
        QFile f(log());
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QList<QByteArray> calls = f.readAll().split('\n');
        const qsizetype write = calls.indexOf("Escribir_Ad8b32 77 888 0");
        QVERIFY(write > 0);
        QCOMPARE(calls.mid(0, write).count("Leer_Ad8b32 888 0"), 2);
        QCOMPARE(samples_.size(), 3);
        QCOMPARE(samples_[1].output, int16_t(5));
        QCOMPARE(samples_[2].output, int16_t(77));
        QCOMPARE(rec_->sampleBuffer().at(4, 3), 77.0f);
    }

    // Playback on the thread: each entry at its step, equal entries written
    // once, the pass timed on the thread, a one-shot table ending itself.
    void playbackStepsOnTheThread_data() {
        QTest::addColumn<QList<int>>("table");
        QTest::addColumn<bool>("oneShot");
        QTest::addColumn<QStringList>("writes");
        QTest::addColumn<bool>("playingAfter");
        QTest::newRow("impulse, once")
            << QList<int>{10, 60, 10} << true << QStringList{"10", "60", "10"} << false;
        QTest::newRow("all equal, repeated")
            << QList<int>{40, 40, 40} << false << QStringList{"40"} << true;
        QTest::newRow("above the top")
            << QList<int>{300, 0} << false << QStringList{"255", "0"} << true;
    }
    void playbackStepsOnTheThread() {
        QFETCH(QList<int>, table);
        QFETCH(bool, oneShot);
        QFETCH(QStringList, writes);
        QFETCH(bool, playingAfter);
        AnalogOutput out(*lib_, g_);
        out.sendThrough(thread_, rec_->outputCode());
        PlaybackOutput output;
        output.code = [&out] { return out.AnalogOutValue(); };
        output.write = [&out](int16_t code) { out.setCode(code); };
        output.maximum = [] { return 255; };
        output.deviceWriter = [&out] { return out.deviceWriter(); };
        output.shown = [&out](int16_t code) { out.showWritten(code); };
        WavePlayer player(g_, output);
        player.playOn(thread_);
        g_.WaveLength = int16_t(table.size());
        for (int i = 0; i < table.size(); ++i) g_.WaveTable[i + 1] = int16_t(table[i]);
        g_.WaveOneShot = oneShot ? kTrue : kFalse;
        g_.AnalogOutValue = -1;
        QSignalSpy passes(&player, &WavePlayer::passMeasured);
        QStringList shown;
        connect(&out, &AnalogOutput::changed, this,
                [&](int16_t code) { shown << QString::number(code); });
        player.setPlaying(true);
        for (int i = 0; i < table.size(); ++i) step(i == 0 ? 20.0 : 0.0);
        QCOMPARE(shown, writes);
        QFile f(log());
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll().count("Escribir_Ad8b32"), writes.size());
        QCOMPARE(passes.count(), 1);
        // A late step does not lengthen the pass.
        QCOMPARE(passes.at(0).at(0).toInt(), 50 * int(table.size()));
        QCOMPARE(player.playing(), playingAfter);
        QCOMPARE(g_.WaveIndex, int16_t(1));
        QCOMPARE(rec_->outputCode()->load(), int16_t(writes.last().toInt()));
    }

    // Jobs and commands on the thread itself: commands go before the job
    // due, a job may end itself, and finishOwned() waits for a job under way.
    void jobsAndCommandsOnARealThread() {
        AcquisitionThread t;
        std::atomic<int> runs{0};
        std::atomic<bool> inside{false};
        std::atomic<bool> commandRan{false};
        std::vector<long long> seen;
        const int id = t.start(t.clock().now(), 0.002, [&](const AcquisitionThread::Tick& tick) {
            inside = true;
            seen.push_back(tick.slot);
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            inside = false;
            return ++runs < 4;
        });
        t.post([&] { commandRan = true; });
        while (t.scheduled(id)) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        QVERIFY(commandRan);
        QCOMPARE(runs.load(), 4);
        // Each run took more than two periods: every next slot is ahead.
        for (size_t i = 1; i < seen.size(); ++i) QVERIFY(seen[i] >= seen[i - 1] + 2);
        const int slow = t.start(
            t.clock().now(), 0.001,
            [&](const AcquisitionThread::Tick&) {
                inside = true;
                std::this_thread::sleep_for(std::chrono::milliseconds(30));
                inside = false;
                return true;
            },
            &inside);
        while (!inside) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        t.finishOwned(&inside);
        QVERIFY(!inside);
        QVERIFY(!t.scheduled(slow));
    }

    // A whole recording on a real thread while the window thread is held
    // busy: every sample arrives, in order, and the file holds the sweep.
    // Ending the engine in the middle of a read waits for the read.
    void recordingOnARealThread() {
        cleanup();
        lib_ = std::make_unique<TavoLibrary>(QCoreApplication::applicationDirPath() + "/standin",
                                             false);
        thread_ = std::make_shared<AcquisitionThread>();
        g_.RequestedSamples = 50;
        g_.PeriodMs = 5;
        s_.once = true;
        rec_ = std::make_unique<Recorder>(
            *lib_, g_, [this] { return s_; }, nullptr, thread_);
        QList<int> indexes;
        connect(rec_.get(), &Recorder::sampleTaken, this,
                [&](const SampleRecord& r) { indexes << r.index; });
        QEventLoop loop;
        connect(rec_.get(), &Recorder::recordingStopped, &loop, &QEventLoop::quit);
        QTimer guard;
        connect(&guard, &QTimer::timeout, &loop, &QEventLoop::quit);
        guard.start(20000);
        QTimer::singleShot(20, this, [] {
            // The window thread busy for a while, as a long repaint would be.
            std::this_thread::sleep_for(std::chrono::milliseconds(60));
        });
        rec_->StartStopRecording();
        loop.exec();
        QVERIFY(!rec_->recording());
        QCOMPARE(indexes.size(), 50);
        for (int i = 0; i < indexes.size(); ++i) QCOMPARE(indexes[i], i + 1);
        QCOMPARE(fileLines(), 50);

        std::atomic<bool> reading{false};
        rec_->setBetweenAttempts([&] {
            reading = true;
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
        });
        rec_->StartStopRecording();
        while (!reading) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        rec_.reset();
        thread_.reset();
    }

    // Work posted from other threads runs on the owner's thread, each
    // thread's in the order posted, once; work for an owner that has gone
    // is dropped.
    void mailboxDeliversOnTheOwnersThread() {
        QObject owner;
        auto* box = new Mailbox(&owner);
        constexpr int kEach = 2000;
        std::vector<int> seen[2];
        bool elsewhere = false;
        std::vector<std::thread> posters;
        for (int p = 0; p < 2; ++p) {
            posters.emplace_back([&, p] {
                for (int i = 0; i < kEach; ++i) {
                    box->post([&, p, i] {
                        if (QThread::currentThread() != owner.thread()) elsewhere = true;
                        seen[p].push_back(i);
                    });
                }
            });
        }
        for (auto& t : posters) t.join();
        QTRY_COMPARE(seen[0].size() + seen[1].size(), size_t{2 * kEach});
        QVERIFY(!elsewhere);
        for (const auto& s : seen) {
            for (int i = 0; i < kEach; ++i) QCOMPARE(s[static_cast<size_t>(i)], i);
        }

        bool ran = false;
        {
            QObject gone;
            auto* late = new Mailbox(&gone);
            std::thread([&] { late->post([&] { ran = true; }); }).join();
        }
        QCoreApplication::processEvents();
        QVERIFY(!ran);
    }
};

QTEST_MAIN(TstAcquisitionThread)
#include "tst_acquisition_thread.moc"
