// SPDX-License-Identifier: GPL-3.0-or-later
// The log of every sweep as the program uses it: whether it is kept and how
// its files are cut (remembered in the user's own settings file, not in the
// configuration file), a write thread per recording, and a message in Spanish
// when it stops.
#pragma once

#include <QObject>
#include <QSettings>
#include <QString>

#include <memory>
#include <mutex>

#include "acquisition/log_writer.h"
#include "common/sample_log.h"
#include "core/mailbox.h"

struct LogPreferences {
    bool keepAll = false;  // "Guardar todos los barridos"
    LogRotation rotation = LogRotation::BySize;
    qint64 sizeLimit = 100LL * 1024 * 1024;
};

// The user's settings file: ~/.config/kalmor/kalmor.ini.
std::unique_ptr<QSettings> userSettings();
LogPreferences loadLogPreferences(QSettings& settings);
void saveLogPreferences(QSettings& settings, const LogPreferences& preferences);

class SweepLog : public QObject, public SampleLog {
    Q_OBJECT
  public:
    explicit SweepLog(LogPreferences preferences = {}, QObject* parent = nullptr);
    ~SweepLog() override;

    const LogPreferences& preferences() const { return preferences_; }
    // Takes effect at once: ticking during a recording starts a log from
    // the next sample, clearing it ends the log.
    void setPreferences(const LogPreferences& preferences);
    // Tests replace the wall clock and the writes.
    void setWriterOptions(LogWriterOptions options) { options_ = std::move(options); }

    void recordingBegins(const QString& dataFileName) override;
    void push(const LoggedSample& sample) noexcept override;
    void recordingEnds() override;

    bool logging() const;
    // The file being written (the last part), or an empty text.
    QString currentFile() const;
    // Writes what was pushed so far (tests and the benchmark).
    void flush();

  signals:
    void logStarted();
    // The log stopped by itself; the recording goes on. In Spanish.
    void logStopped(const QString& message);

  private:
    void startWriter();
    // Puts in the writer that push() uses and ends the one before, outside
    // the lock: ending it waits for its last write.
    void replaceWriter(std::unique_ptr<LogWriter> writer);

    LogPreferences preferences_;
    LogWriterOptions options_;
    // push() may come from the thread that reads while the window thread
    // starts or ends the log; the lock is held only to reach the writer.
    mutable std::mutex writerMutex_;
    std::unique_ptr<LogWriter> writer_;
    bool recording_ = false;
    QString dataFile_;
    // Carries a write thread's failure to this object's thread.
    Mailbox* mailbox_ = new Mailbox(this);
};

// The message for a log that stopped: why, and which file keeps what was
// written.
QString logStoppedMessage(const QString& reason, const QString& file);
