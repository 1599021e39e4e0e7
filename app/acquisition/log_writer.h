// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the log of every sweep on a thread of its own. The reading side only
// puts a small record into a queue; the write thread takes the queue every
// flush interval, writes the rows and syncs them, so a crash or a power cut
// loses at most the last interval. A new file starts when one would pass the
// size limit, or at midnight; a failed write or a vanished file stops the log
// (what was written stays) and says why, once.
#pragma once

#include <QDateTime>
#include <QString>

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "common/sample_log.h"

enum class LogRotation { BySize, AtMidnight };

struct LogWriterOptions {
    LogRotation rotation = LogRotation::BySize;
    qint64 sizeLimit = 100LL * 1024 * 1024;
    int flushIntervalMs = 250;
    // The local date and time; midnight rotation and the file names follow it.
    std::function<QDateTime()> wallClock = [] { return QDateTime::currentDateTime(); };
    // Writes all of data to fd or fails with errno set (tests make it fail).
    std::function<bool(int fd, const char* data, size_t size)> writeAll;
    // Rows the queue holds at most while the disk is slow; later ones are
    // counted as lost and stop the log.
    size_t queueLimit = 1 << 20;
};

class LogWriter {
  public:
    // Why the log stopped, in Spanish, and the file it was writing.
    using FailureFn = std::function<void(const QString& message, const QString& file)>;

    // The first file is logFileName(dataFile, the wall clock now); onFailure
    // runs on the write thread.
    LogWriter(const QString& dataFile, LogWriterOptions options, FailureFn onFailure = {});
    // Writes what is queued, then ends the thread.
    ~LogWriter();
    LogWriter(const LogWriter&) = delete;
    LogWriter& operator=(const LogWriter&) = delete;

    // Never waits for the disk: a short lock around a vector append.
    void push(const LoggedSample& sample) noexcept;
    // Wakes the write thread and waits until everything pushed before is on
    // the disk (or the log has failed).
    void flush();

    bool failed() const;
    QString failure() const;
    // The files written so far, in order.
    std::vector<QString> files() const;

  private:
    void run();
    void writeBatch(std::vector<LoggedSample>& batch);
    bool openPart();
    bool writeOut(std::string& text);
    bool sync();
    void fail(const QString& message);

    const QString dataFile_;
    LogWriterOptions options_;
    FailureFn onFailure_;
    QDateTime start_;

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable flushed_;
    std::vector<LoggedSample> queue_;
    bool stopping_ = false;
    uint64_t flushRequested_ = 0;
    uint64_t flushDone_ = 0;
    size_t lost_ = 0;
    bool failed_ = false;
    QString failure_;
    std::vector<QString> files_;

    // Write thread only.
    int fd_ = -1;
    int part_ = 0;
    qint64 fileSize_ = 0;
    qint64 headerSize_ = 0;
    QDate fileDate_;
    std::thread thread_;
};

// The reason for an errno, in Spanish.
QString spanishReason(int error);
