// SPDX-License-Identifier: GPL-3.0-or-later
#include "acquisition/log_writer.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <chrono>

#include "common/log_format.h"

namespace {

bool plainWriteAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (n == 0) {
            errno = EIO;
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

QString spanishReason(int error) {
    switch (error) {
        case ENOSPC:
        case EDQUOT:
            return QStringLiteral("el disco está lleno");
        case ENOENT:
            return QStringLiteral("la carpeta no existe");
        case EACCES:
        case EPERM:
        case EROFS:
            return QStringLiteral("no hay permiso para escribir");
        case EIO:
            return QStringLiteral("error de entrada/salida del disco");
        default:
            return QStringLiteral("error del sistema %1").arg(error);
    }
}

LogWriter::LogWriter(const QString& dataFile, LogWriterOptions options, FailureFn onFailure)
    : dataFile_(dataFile), options_(std::move(options)), onFailure_(std::move(onFailure)) {
    if (!options_.writeAll) options_.writeAll = plainWriteAll;
    if (options_.flushIntervalMs < 1) options_.flushIntervalMs = 1;
    start_ = options_.wallClock();
    queue_.reserve(1024);
    thread_ = std::thread([this] { run(); });
}

LogWriter::~LogWriter() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    thread_.join();
    if (fd_ >= 0) ::close(fd_);
}

void LogWriter::push(const LoggedSample& sample) noexcept {
    std::lock_guard lock(mutex_);
    if (failed_) return;
    if (queue_.size() >= options_.queueLimit) {
        ++lost_;
        return;
    }
    try {
        queue_.push_back(sample);
    } catch (...) {
        ++lost_;
    }
}

void LogWriter::flush() {
    std::unique_lock lock(mutex_);
    const uint64_t ticket = ++flushRequested_;
    wake_.notify_one();
    flushed_.wait(lock, [&] { return flushDone_ >= ticket || stopping_; });
}

bool LogWriter::failed() const {
    std::lock_guard lock(mutex_);
    return failed_;
}

QString LogWriter::failure() const {
    std::lock_guard lock(mutex_);
    return failure_;
}

std::vector<QString> LogWriter::files() const {
    std::lock_guard lock(mutex_);
    return files_;
}

void LogWriter::run() {
    std::vector<LoggedSample> batch;
    batch.reserve(1024);
    // The first file is opened at once, so a missing folder shows up when
    // the recording starts rather than at the first rows. A failure still
    // leaves the loop running, to answer flushes until the end.
    openPart();
    for (;;) {
        bool stop = false;
        uint64_t ticket = 0;
        size_t lost = 0;
        {
            std::unique_lock lock(mutex_);
            wake_.wait_for(lock, std::chrono::milliseconds(options_.flushIntervalMs),
                           [&] { return stopping_ || flushRequested_ > flushDone_; });
            batch.swap(queue_);
            stop = stopping_;
            ticket = flushRequested_;
            lost = lost_;
        }
        if (lost > 0) {
            fail(QStringLiteral("el disco no da abasto y se han perdido %1 muestras").arg(lost));
        } else if (!batch.empty()) {
            writeBatch(batch);
        }
        batch.clear();
        {
            std::lock_guard lock(mutex_);
            flushDone_ = ticket;
            if (failed_) queue_.clear();
        }
        flushed_.notify_all();
        if (stop) return;
    }
}

bool LogWriter::openPart() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    // A name already taken (two recordings started within a second) takes
    // the next part number instead of mixing two recordings in one file.
    for (int attempt = 0; attempt < 1000; ++attempt) {
        ++part_;
        const QString name = logFileName(dataFile_, start_, part_);
        const QByteArray path = QFile::encodeName(name);
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0 && errno == EEXIST) continue;
        if (fd < 0) {
            const int error = errno;
            {
                std::lock_guard lock(mutex_);
                files_.push_back(name);
            }
            fail(spanishReason(error));
            return false;
        }
        fd_ = fd;
        {
            std::lock_guard lock(mutex_);
            files_.push_back(name);
        }
        fileSize_ = 0;
        fileDate_ = options_.wallClock().date();
        std::string header = kLogHeader;
        header += "\r\n";
        headerSize_ = static_cast<qint64>(header.size());
        return writeOut(header);
    }
    fail(QStringLiteral("no queda ningún nombre libre para el registro"));
    return false;
}

bool LogWriter::writeOut(std::string& text) {
    if (text.empty()) return true;
    if (!options_.writeAll(fd_, text.data(), text.size())) {
        fail(spanishReason(errno));
        return false;
    }
    fileSize_ += static_cast<qint64>(text.size());
    text.clear();
    return true;
}

void LogWriter::writeBatch(std::vector<LoggedSample>& batch) {
    if (fd_ < 0) return;
    std::string text;
    text.reserve(batch.size() * 64);
    // Midnight is looked for once a batch: a row at most one interval late
    // may open the new day's file.
    if (options_.rotation == LogRotation::AtMidnight && options_.wallClock().date() != fileDate_) {
        if (!sync() || !openPart()) return;
    }
    std::string row;
    for (const LoggedSample& s : batch) {
        row.clear();
        appendLogRow(row, s);
        const qint64 size = fileSize_ + static_cast<qint64>(text.size());
        // Every file holds at least one row, whatever the limit.
        if (options_.rotation == LogRotation::BySize && size > headerSize_ &&
            size + static_cast<qint64>(row.size()) > options_.sizeLimit) {
            if (!writeOut(text) || !sync() || !openPart()) return;
        }
        text += row;
    }
    if (!writeOut(text)) return;
    // The rows count as kept once they are synced.
    if (!sync()) return;
    // A folder removed under an open file still takes writes; the file is
    // gone all the same.
    struct stat st {};
    if (::fstat(fd_, &st) == 0 && st.st_nlink == 0) {
        fail(QStringLiteral("el fichero o su carpeta han desaparecido"));
    }
}

bool LogWriter::sync() {
    if (::fdatasync(fd_) == 0) return true;
    fail(spanishReason(errno));
    return false;
}

void LogWriter::fail(const QString& message) {
    QString file;
    {
        std::lock_guard lock(mutex_);
        if (failed_) return;
        failed_ = true;
        failure_ = message;
        queue_.clear();
        if (!files_.empty()) file = files_.back();
    }
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (onFailure_) onFailure_(message, file);
}
