// SPDX-License-Identifier: GPL-3.0-or-later
// The sampling engine feeding the log of every sweep: each read once, with
// its sweep, number and true read time; a log that fails stops alone while
// the recording and its data file go on; the choices kept in the user's own
// settings file.
#include <QCoreApplication>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <cerrno>

#include "acquisition/recorder.h"
#include "acquisition/sample_units.h"
#include "acquisition/sweep_log.h"
#include "common/log_format.h"
#include "common/recording_file.h"
#include "core/acquisition_thread.h"
#include "core/tavo_library.h"
#include "core/var_glob.h"

namespace {

class HandClock : public Clock {
  public:
    double now() const override { return t; }
    double t = 500.0;
};

const QDateTime kStart(QDate(2026, 12, 8), QTime(10, 15, 0));

}  // namespace

class TstSweepLog : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    VarGlob g_;
    RecorderSettings s_;
    HandClock* clock_ = nullptr;
    std::shared_ptr<AcquisitionThread> thread_;
    std::unique_ptr<TavoLibrary> lib_;
    std::unique_ptr<SweepLog> log_;
    std::unique_ptr<Recorder> rec_;
    std::vector<double> readTimes_;

    QString dataFile() const { return dir_.filePath("DATOS.DAT"); }
    QString logFile(int part = 1) const { return logFileName(dataFile(), kStart, part); }

    // Fires n ticks; each read happens a little after its due time, as on a
    // loaded machine, and the log must keep that true time.
    void tick(int n) {
        for (int i = 0; i < n; ++i) {
            const std::optional<double> due = rec_->nextSampleDue();
            if (!due) return;
            rec_->outputCode()->store(g_.AnalogOutValue);
            clock_->t = std::max(clock_->t, *due + 0.001 * (i % 5));
            readTimes_.push_back(clock_->t);
            thread_->runDue();
            QCoreApplication::sendPostedEvents();
        }
    }

  private slots:
    void initTestCase() {
        // The user's settings file of this test, not of whoever runs it.
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir_.filePath("config"));
    }
    void init() {
        g_ = VarGlob{};
        g_.ModuleType = 2;
        g_.RequestedSamples = 20;
        g_.PeriodMs = 100;
        g_.AnalogOutValue = 1234;
        g_.DataFileName = dataFile();
        s_ = RecorderSettings{};
        readTimes_.clear();
        for (const QString& f : QDir(dir_.path()).entryList({"DATOS*"}))
            QFile::remove(dir_.filePath(f));
        lib_ = std::make_unique<TavoLibrary>(QCoreApplication::applicationDirPath() + "/standin",
                                             false);
        auto clock = std::make_unique<HandClock>();
        clock_ = clock.get();
        thread_ = std::make_shared<AcquisitionThread>(std::move(clock));
        rec_ = std::make_unique<Recorder>(
            *lib_, g_, [this] { return s_; }, nullptr, thread_);
        log_ = std::make_unique<SweepLog>(LogPreferences{true, LogRotation::BySize, 100 << 20});
        LogWriterOptions o;
        o.wallClock = [] { return kStart; };
        log_->setWriterOptions(o);
        rec_->setSampleLog(log_.get());
    }
    void cleanup() {
        rec_.reset();
        thread_.reset();
        log_.reset();
    }

    void everyReadOnceWithItsTrueTime() {
        const double started = clock_->t;
        rec_->StartStopRecording();
        tick(20 + 20 + 5);  // two whole sweeps, five samples of a third
        rec_->StartStopRecording();
        RecordingFile log(logFile());
        log.update();
        QCOMPARE(log.problem(), QString());
        QCOMPARE(int(log.data().size()), 45);
        QFile raw(logFile());
        QVERIFY(raw.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = raw.readAll().split('\n');
        const float ch0 = 11.0f * inputFactor12(g_.ScaleFactor);
        for (int i = 0; i < 45; ++i) {
            const QList<QByteArray> f = lines.at(i + 1).split(',');
            QCOMPARE(f.at(0).toInt(), 1 + i / 20);
            QCOMPARE(f.at(1).toInt(), 1 + i % 20);
            QVERIFY(std::abs(log.data().seconds[size_t(i)] - (readTimes_[size_t(i)] - started)) <
                    1e-4);
            QCOMPARE(log.data().values[0][size_t(i)], ch0);
            QCOMPARE(log.data().values[4][size_t(i)], 1234.0f);
        }
        // The data file is as ever: the stop writes the samples before the last.
        QFile data(dataFile());
        QVERIFY(data.open(QIODevice::ReadOnly));
        QCOMPARE(data.readAll().count("\r\n"), 4);
    }

    void aClearedSweepIsNumberedOn() {
        rec_->StartStopRecording();
        tick(7);
        rec_->restartSweep();
        tick(3);
        rec_->StartStopRecording();
        RecordingFile log(logFile());
        log.update();
        QCOMPARE(int(log.data().size()), 10);
        QFile raw(logFile());
        QVERIFY(raw.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = raw.readAll().split('\n');
        QCOMPARE(lines.at(7).split(',').mid(0, 2), QList<QByteArray>({"1", "7"}));
        QCOMPARE(lines.at(8).split(',').mid(0, 2), QList<QByteArray>({"2", "1"}));
    }

    // The reads go to the log from the acquisition thread: a window thread
    // that takes in nothing for a while holds back no row.
    void rowsReachTheLogWhileTheWindowThreadIsBusy() {
        rec_.reset();
        thread_ = std::make_shared<AcquisitionThread>();
        g_.PeriodMs = 5;
        rec_ = std::make_unique<Recorder>(
            *lib_, g_, [this] { return s_; }, nullptr, thread_);
        rec_->setSampleLog(log_.get());
        QSignalSpy counted(rec_.get(), &Recorder::counterChanged);
        rec_->StartStopRecording();
        QThread::msleep(200);  // no event is processed meanwhile
        log_->flush();
        QCOMPARE(counted.size(), 0);
        RecordingFile log(logFile());
        log.update();
        QVERIFY2(log.data().size() >= 10, qPrintable(QString::number(log.data().size())));
        rec_->StartStopRecording();
    }

    void noLogUnlessChosen() {
        log_->setPreferences(LogPreferences{false, LogRotation::BySize, 100 << 20});
        rec_->StartStopRecording();
        tick(5);
        // Ticked during the recording: the log starts with the next sample.
        log_->setPreferences(LogPreferences{true, LogRotation::BySize, 100 << 20});
        tick(3);
        log_->setPreferences(LogPreferences{false, LogRotation::BySize, 100 << 20});
        tick(3);
        rec_->StartStopRecording();
        RecordingFile log(logFile());
        log.update();
        QCOMPARE(int(log.data().size()), 3);
        QCOMPARE(QDir(dir_.path()).entryList({"DATOS_*"}).size(), 1);
    }

    void failingLogStopsAloneAndSaysSo() {
        LogWriterOptions o;
        o.wallClock = [] { return kStart; };
        o.writeAll = [](int, const char*, size_t) {
            errno = ENOSPC;
            return false;
        };
        log_->setWriterOptions(o);
        QSignalSpy stopped(log_.get(), &SweepLog::logStopped);
        QSignalSpy counted(rec_.get(), &Recorder::counterChanged);
        rec_->StartStopRecording();
        tick(10);
        log_->flush();
        QTRY_COMPARE(stopped.size(), 1);
        tick(15);
        log_->flush();
        QCoreApplication::sendPostedEvents();
        QCOMPARE(stopped.size(), 1);
        QCOMPARE(stopped.front().front().toString(),
                 QString("Se ha detenido el registro de todos los barridos: el disco está lleno. "
                         "Lo escrito hasta ahora queda en DATOS_2026-12-08_10-15-00.csv. La "
                         "grabación sigue."));
        QVERIFY(!log_->logging());
        // The recording went on and wrote its data file at the sweep's end.
        QVERIFY(rec_->recording());
        QCOMPARE(counted.size(), 25);
        QVERIFY(QFile::exists(dataFile()));
        rec_->StartStopRecording();
    }

    void choicesKeptInTheUsersSettings_data() {
        QTest::addColumn<bool>("keepAll");
        QTest::addColumn<int>("rotation");
        QTest::newRow("all sweeps, by size") << true << int(LogRotation::BySize);
        QTest::newRow("all sweeps, at midnight") << true << int(LogRotation::AtMidnight);
        QTest::newRow("none, at midnight") << false << int(LogRotation::AtMidnight);
    }
    void choicesKeptInTheUsersSettings() {
        QFETCH(bool, keepAll);
        QFETCH(int, rotation);
        saveLogPreferences(*userSettings(),
                           LogPreferences{keepAll, LogRotation(rotation), 100 << 20});
        QVERIFY(QFile::exists(dir_.filePath("config/kalmor/kalmor.ini")));
        const LogPreferences p = loadLogPreferences(*userSettings());
        QCOMPARE(p.keepAll, keepAll);
        QCOMPARE(int(p.rotation), rotation);
        QCOMPARE(p.sizeLimit, qint64(100) << 20);
    }
};

QTEST_GUILESS_MAIN(TstSweepLog)
#include "tst_sweep_log.moc"
