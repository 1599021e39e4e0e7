// SPDX-License-Identifier: GPL-3.0-or-later
// The log of every sweep: rows against what was pushed, rotation by size and
// at midnight on a clock the test sets, a writer killed outright, and disks
// that fail under it.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <mutex>
#include <thread>

#include "acquisition/log_writer.h"
#include "common/log_format.h"
#include "common/recording_file.h"

namespace {

LoggedSample sampleAt(int i) {
    LoggedSample s;
    s.sweep = 1 + i / 50;
    s.sample = 1 + i % 50;
    s.seconds = 0.1 * i + 0.0003 * (i % 7);  // true read times, not i x period
    s.values = {0.5f * float(i), -0.25f, float(i % 13), 1e-5f, float(i % 4096)};
    return s;
}

double monotonicSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

// The child of the kill test: pushes a row every 5 ms with its monotonic
// time until it is killed.
[[noreturn]] void runKilledChild(const QString& dataFile) {
    LogWriter writer(dataFile, LogWriterOptions{});
    for (int i = 0;; ++i) {
        LoggedSample s = sampleAt(i);
        s.seconds = monotonicSeconds();
        writer.push(s);
        usleep(5000);
    }
}

std::vector<LoggedSample> readBack(const std::vector<QString>& files, QString* problems) {
    std::vector<LoggedSample> rows;
    for (const QString& f : files) {
        QFile in(f);
        if (!in.open(QIODevice::ReadOnly)) continue;
        const QList<QByteArray> lines = in.readAll().split('\n');
        if (lines.value(0) != QByteArray(kLogHeader) + '\r') *problems += f + ": header; ";
        RecordingFile file(f);
        file.update();
        *problems += file.problem();
        for (size_t i = 0; i < file.data().size(); ++i) {
            LoggedSample s;
            const QList<QByteArray> fields = lines.at(qsizetype(i) + 1).split(',');
            s.sweep = fields.value(0).toInt();
            s.sample = fields.value(1).toInt();
            s.seconds = file.data().seconds[i];
            for (size_t c = 0; c < 5; ++c) s.values[c] = file.data().values[c][i];
            rows.push_back(s);
        }
    }
    return rows;
}

struct Failures {
    std::mutex mutex;
    QStringList messages;
    void operator()(const QString& message, const QString& file) {
        std::lock_guard lock(mutex);
        messages << message + " | " + QFileInfo(file).fileName();
    }
};

}  // namespace

class TstLogWriter : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    int case_ = 0;

    QString freshDataFile() {
        const QString folder = dir_.filePath(QString::number(++case_));
        QDir().mkpath(folder);
        return folder + "/DATOS.DAT";
    }

  private slots:
    void formatAndNames() {
        QCOMPARE(secondsText(0.0), std::string("0"));
        QCOMPARE(secondsText(0.5), std::string(".5"));
        QCOMPARE(secondsText(-0.1), std::string("-.1"));
        QCOMPARE(secondsText(86399.12346), std::string("86399.1235"));
        QCOMPARE(secondsText(12.0), std::string("12"));
        std::string row;
        appendLogRow(row, LoggedSample{2, 17, 1.70031, {0.5f, -0.25f, 100.0f, 1e-5f, 2048.0f}});
        QCOMPARE(row, std::string("2,17,1.7003,.5,-.25,100,1E-05,2048\r\n"));
        const QDateTime start(QDate(2026, 12, 8), QTime(10, 15, 0));
        QCOMPARE(logFileName("/datos/DATOS.DAT", start),
                 QString("/datos/DATOS_2026-12-08_10-15-00.csv"));
        QCOMPARE(logFileName("/datos/DATOS.DAT", start, 2),
                 QString("/datos/DATOS_2026-12-08_10-15-00_0002.csv"));
        QCOMPARE(logFileName("ensayo", start), QString("ensayo_2026-12-08_10-15-00.csv"));
    }

    void rowsAgainstReads() {
        const QString data = freshDataFile();
        std::vector<QString> files;
        {
            LogWriter writer(data, LogWriterOptions{});
            for (int i = 0; i < 2000; ++i) {
                writer.push(sampleAt(i));
                if (i == 999) writer.flush();
            }
            writer.flush();
            files = writer.files();
            QVERIFY(!writer.failed());
        }
        QCOMPARE(int(files.size()), 1);
        QString problems;
        const std::vector<LoggedSample> rows = readBack(files, &problems);
        QCOMPARE(problems, QString());
        QCOMPARE(int(rows.size()), 2000);
        for (int i = 0; i < 2000; ++i) {
            const LoggedSample want = sampleAt(i);
            QCOMPARE(rows[size_t(i)].sweep, want.sweep);
            QCOMPARE(rows[size_t(i)].sample, want.sample);
            QVERIFY(std::abs(rows[size_t(i)].seconds - want.seconds) < 0.00006);
            QCOMPARE(rows[size_t(i)].values, want.values);
        }
        // The data file itself is not touched.
        QVERIFY(!QFile::exists(data));
    }

    void rotation_data() {
        QTest::addColumn<int>("rotation");
        QTest::addColumn<qint64>("limit");
        QTest::addColumn<int>("files");  // -1: as many as the rows fill
        QTest::newRow("by size") << int(LogRotation::BySize) << qint64(1000) << -1;
        QTest::newRow("limit below one row") << int(LogRotation::BySize) << qint64(10) << 300;
        QTest::newRow("size, never reached") << int(LogRotation::BySize) << qint64(100 << 20) << 1;
        QTest::newRow("at midnight") << int(LogRotation::AtMidnight) << qint64(10) << 3;
    }
    void rotation() {
        QFETCH(int, rotation);
        QFETCH(qint64, limit);
        QFETCH(int, files);
        if (files < 0) {
            // Rows fill a file up to the limit, header included.
            files = 1;
            qint64 size = qint64(sizeof kLogHeader) + 1;
            for (int i = 0; i < 300; ++i) {
                std::string row;
                appendLogRow(row, sampleAt(i));
                if (size + qint64(row.size()) > limit) {
                    ++files;
                    size = qint64(sizeof kLogHeader) + 1;
                }
                size += qint64(row.size());
            }
            QVERIFY(files > 5);
        }
        std::atomic<qint64> clock{
            QDateTime(QDate(2026, 12, 8), QTime(23, 59, 59)).toSecsSinceEpoch()};
        LogWriterOptions o;
        o.rotation = LogRotation(rotation);
        o.sizeLimit = limit;
        o.wallClock = [&clock] { return QDateTime::fromSecsSinceEpoch(clock.load()); };
        const QString data = freshDataFile();
        std::vector<QString> names;
        {
            LogWriter writer(data, o);
            for (int i = 0; i < 300; ++i) {
                writer.push(sampleAt(i));
                // Two midnights: a new file on each new day.
                if (i == 99 || i == 199) {
                    writer.flush();
                    clock += 24 * 3600;
                }
            }
            writer.flush();
            names = writer.files();
        }
        QCOMPARE(int(names.size()), files);
        const QDateTime start = QDateTime::fromSecsSinceEpoch(
            QDateTime(QDate(2026, 12, 8), QTime(23, 59, 59)).toSecsSinceEpoch());
        for (int part = 1; part <= files; ++part) {
            QCOMPARE(names[size_t(part - 1)], logFileName(data, start, part));
            // Each part ends within the limit (one row always fits).
            if (o.rotation == LogRotation::BySize && limit >= 100)
                QVERIFY(QFileInfo(names[size_t(part - 1)]).size() <= limit);
        }
        QString problems;
        const std::vector<LoggedSample> rows = readBack(names, &problems);
        QCOMPARE(problems, QString());
        QCOMPARE(int(rows.size()), 300);
        for (int i = 0; i < 300; ++i) QCOMPARE(rows[size_t(i)].values, sampleAt(i).values);
        if (o.rotation == LogRotation::AtMidnight) {
            RecordingFile second(names[1]);
            second.update();
            QCOMPARE(int(second.data().size()), 100);
        }
    }

    void failuresStopOnlyTheLog_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("kept");
        QTest::newRow("folder missing") << "missing"
                                        << "la carpeta no existe" << -1;
        QTest::newRow("disk fills later") << "full"
                                          << "el disco está lleno" << 100;
        QTest::newRow("writer fails at once") << "eio"
                                              << "error de entrada/salida" << 0;
        QTest::newRow("file removed") << "removed"
                                      << "desaparecido" << -1;
    }
    void failuresStopOnlyTheLog() {
        QFETCH(QString, how);
        QFETCH(QString, message);
        QFETCH(int, kept);
        QString data = freshDataFile();
        const QDateTime start(QDate(2026, 12, 8), QTime(10, 0, 0));
        LogWriterOptions o;
        o.wallClock = [start] { return start; };
        if (how == "missing") data = dir_.filePath("no/such/folder/DATOS.DAT");
        std::atomic<int> writes{0};
        if (how == "full" || how == "eio") {
            // The header and the first batch go through when the disk fills later.
            const int allowed = how == "full" ? 2 : 0;
            const int error = how == "full" ? ENOSPC : EIO;
            o.writeAll = [&writes, allowed, error](int fd, const char* p, size_t n) {
                if (++writes > allowed) {
                    errno = error;
                    return false;
                }
                return ::write(fd, p, n) == ssize_t(n);
            };
        }
        Failures failures;
        {
            LogWriter writer(data, o, std::ref(failures));
            for (int i = 0; i < 100; ++i) writer.push(sampleAt(i));
            writer.flush();
            if (how == "removed") QVERIFY(QFile::remove(writer.files().front()));
            for (int i = 100; i < 300; ++i) writer.push(sampleAt(i));
            writer.flush();
            QVERIFY(writer.failed());
            QVERIFY2(writer.failure().contains(message), qPrintable(writer.failure()));
            // Later rows are refused quietly.
            writer.push(sampleAt(0));
            writer.flush();
        }
        QCOMPARE(failures.messages.size(), 1);
        QVERIFY(failures.messages.front().endsWith(QFileInfo(logFileName(data, start)).fileName()));
        if (kept >= 0) {
            RecordingFile file(logFileName(data, start));
            file.update();
            QCOMPARE(int(file.data().size()), kept);
        }
    }

    void fullSmallFilesystem() {
        // A 64 KiB file system of its own, in a mount namespace of the child.
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("KALMOR_LOG_FULL_CHILD", dir_.filePath("mnt"));
        QDir().mkpath(dir_.filePath("mnt"));
        child.setProcessEnvironment(env);
        const QString script =
            QStringLiteral("mount -t tmpfs -o size=64k tmpfs '%1' || exit 99; exec '%2'")
                .arg(dir_.filePath("mnt"), QCoreApplication::applicationFilePath());
        child.start("unshare", {"-rm", "sh", "-c", script});
        QVERIFY(child.waitForFinished(60000));
        const QString out = QString::fromUtf8(child.readAllStandardOutput());
        // No user namespaces, or no tmpfs in them: nothing to test on.
        if (child.exitCode() != 0 && out.isEmpty())
            QSKIP("no mount namespace for a small file system here");
        QVERIFY2(child.exitCode() == 0, qPrintable(out + child.readAllStandardError()));
        const QStringList lines = out.split('\n');
        QCOMPARE(lines.value(0), QString("failed: el disco está lleno"));
        // What fitted stays readable, to its last whole row.
        const int rows = lines.value(1).toInt();
        QVERIFY2(rows > 100 && rows < 5000, qPrintable(out));
        QCOMPARE(lines.value(2), QString("stopped: 0"));
    }

    void killedWriterLosesAtMostHalfASecond() {
        const QString data = freshDataFile();
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("KALMOR_LOG_CHILD", data);
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY(child.waitForStarted());
        // Let it write for a while, then kill it outright.
        QTest::qWait(1500);
        const double killedAt = monotonicSeconds();
        ::kill(pid_t(child.processId()), SIGKILL);
        QVERIFY(child.waitForFinished());
        const QStringList parts = QFileInfo(data).dir().entryList({"DATOS_*.csv"});
        QCOMPARE(parts.size(), 1);
        RecordingFile file(QFileInfo(data).dir().filePath(parts.front()));
        file.update();
        QVERIFY(file.data().size() > 10);
        // Readable to its last whole row; at most a cut row after it.
        QVERIFY(!file.parser().stopped());
        const double lost = killedAt - file.data().seconds.back();
        QVERIFY2(lost <= 0.5, qPrintable(QString("lost %1 s").arg(lost)));
    }
};

// The child of the full file system test: fills the folder's small file
// system, then says how the log ended and what of it can be read.
int runFullChild(const QString& folder) {
    if (!QFileInfo(folder).isDir()) return 99;
    const QString data = folder + "/DATOS.DAT";
    std::vector<QString> files;
    QString failure;
    {
        LogWriter writer(data, LogWriterOptions{});
        for (int i = 0; i < 5000; ++i) writer.push(sampleAt(i));
        writer.flush();
        failure = writer.failure();
        files = writer.files();
    }
    if (files.empty()) return 1;
    RecordingFile file(files.front());
    file.update();
    std::printf("failed: %s\n%d\nstopped: %d\n", failure.toUtf8().constData(),
                int(file.data().size()), int(file.parser().stopped()));
    return 0;
}

int main(int argc, char** argv) {
    if (const char* full = std::getenv("KALMOR_LOG_FULL_CHILD"))
        return runFullChild(QString::fromLocal8Bit(full));
    if (const char* child = std::getenv("KALMOR_LOG_CHILD"))
        runKilledChild(QString::fromLocal8Bit(child));
    QCoreApplication app(argc, argv);
    TstLogWriter test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_log_writer.moc"
