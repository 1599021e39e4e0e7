// SPDX-License-Identifier: GPL-3.0-or-later
#include "acquisition/sweep_log.h"

#include <QFileInfo>

std::unique_ptr<QSettings> userSettings() {
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                       QStringLiteral("kalmor"), QStringLiteral("kalmor"));
}

LogPreferences loadLogPreferences(QSettings& settings) {
    LogPreferences p;
    p.keepAll = settings.value(QStringLiteral("registro/guardar_todos"), false).toBool();
    p.rotation =
        settings.value(QStringLiteral("registro/cortar")).toString() == QStringLiteral("medianoche")
            ? LogRotation::AtMidnight
            : LogRotation::BySize;
    bool ok = false;
    const qint64 mb = settings.value(QStringLiteral("registro/limite_mb"), 100).toLongLong(&ok);
    if (ok && mb >= 1 && mb <= 1024 * 1024) p.sizeLimit = mb * 1024 * 1024;
    return p;
}

void saveLogPreferences(QSettings& settings, const LogPreferences& p) {
    settings.setValue(QStringLiteral("registro/guardar_todos"), p.keepAll);
    settings.setValue(QStringLiteral("registro/cortar"), p.rotation == LogRotation::AtMidnight
                                                             ? QStringLiteral("medianoche")
                                                             : QStringLiteral("tamano"));
    settings.setValue(QStringLiteral("registro/limite_mb"), p.sizeLimit / (1024 * 1024));
    settings.sync();
}

QString logStoppedMessage(const QString& reason, const QString& file) {
    return QStringLiteral(
               "Se ha detenido el registro de todos los barridos: %1. Lo escrito "
               "hasta ahora queda en %2. La grabación sigue.")
        .arg(reason, QFileInfo(file).fileName());
}

SweepLog::SweepLog(LogPreferences preferences, QObject* parent)
    : QObject(parent), preferences_(preferences) {}

SweepLog::~SweepLog() = default;

void SweepLog::setPreferences(const LogPreferences& preferences) {
    const bool was = preferences_.keepAll;
    preferences_ = preferences;
    if (!recording_ || was == preferences.keepAll) return;
    if (preferences.keepAll) {
        startWriter();
    } else {
        replaceWriter(nullptr);
    }
}

void SweepLog::replaceWriter(std::unique_ptr<LogWriter> writer) {
    {
        std::lock_guard lock(writerMutex_);
        writer_.swap(writer);
    }
    writer.reset();
}

bool SweepLog::logging() const {
    std::lock_guard lock(writerMutex_);
    return writer_ != nullptr && !writer_->failed();
}

void SweepLog::recordingBegins(const QString& dataFileName) {
    replaceWriter(nullptr);
    recording_ = true;
    dataFile_ = dataFileName;
    if (preferences_.keepAll) startWriter();
}

void SweepLog::startWriter() {
    LogWriterOptions o = options_;
    o.rotation = preferences_.rotation;
    o.sizeLimit = preferences_.sizeLimit;
    // Told on the write thread, which ends before this object does; shown
    // on this object's thread.
    replaceWriter(std::make_unique<LogWriter>(
        dataFile_, std::move(o), [this](const QString& reason, const QString& file) {
            const QString message = logStoppedMessage(reason, file);
            mailbox_->post([this, message] { emit logStopped(message); });
        }));
    emit logStarted();
}

void SweepLog::push(const LoggedSample& sample) noexcept {
    std::lock_guard lock(writerMutex_);
    if (writer_) writer_->push(sample);
}

void SweepLog::recordingEnds() {
    recording_ = false;
    replaceWriter(nullptr);
}

QString SweepLog::currentFile() const {
    std::lock_guard lock(writerMutex_);
    if (!writer_) return QString();
    const std::vector<QString> files = writer_->files();
    return files.empty() ? QString() : files.back();
}

void SweepLog::flush() {
    // Only the window thread replaces the writer, and it is the one that
    // flushes: no lock held while the disk is waited for.
    if (writer_) writer_->flush();
}
