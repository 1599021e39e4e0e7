// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/atomic_file.h"

#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>

#include <unistd.h>

namespace {

WriteFailure failureOf(int error) {
    switch (error) {
        case ENOSPC:
        case EDQUOT:
        case EFBIG:
            return WriteFailure::DiskFull;
        case EACCES:
        case EPERM:
        case EROFS:
        case ETXTBSY:
            return WriteFailure::NoPermission;
        case EISDIR:
            return WriteFailure::IsFolder;
        case ENOENT:
        case ENOTDIR:
            return WriteFailure::NoFolder;
        default:
            return WriteFailure::Other;
    }
}

WriteOutcome failed(WriteFailure failure) {
    return {false, failure, writeFailureText(failure)};
}

// What the folder and an existing file allow, before anything is created.
WriteFailure refusal(const QString& path) {
    const QFileInfo info(path);
    if (info.isDir()) return WriteFailure::IsFolder;
    if (!QFileInfo(info.absolutePath()).isDir()) return WriteFailure::NoFolder;
    if (info.exists()) {
        // A device or a pipe would be replaced by a plain file.
        if (!info.isFile()) return WriteFailure::Other;
        if (!info.isWritable()) return WriteFailure::NoPermission;
    }
    return WriteFailure::None;
}

}  // namespace

QString writeFailureText(WriteFailure failure) {
    switch (failure) {
        case WriteFailure::None:
            return QString();
        case WriteFailure::DiskFull:
            return QStringLiteral("disco lleno");
        case WriteFailure::NoPermission:
            return QStringLiteral("sin permiso de escritura");
        case WriteFailure::IsFolder:
            return QStringLiteral("es una carpeta");
        case WriteFailure::NoFolder:
            return QStringLiteral("la carpeta no existe");
        case WriteFailure::Other:
            break;
    }
    return QStringLiteral("no se ha podido escribir el fichero");
}

WriteOutcome writeFileAtomically(const QString& path, const QByteArray& bytes) {
    if (const WriteFailure f = refusal(path); f != WriteFailure::None) return failed(f);

    QSaveFile file(path);
    // A folder that takes no new file (while the file itself may be written)
    // gets the file written in place: nothing else could be kept there.
    file.setDirectWriteFallback(true);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly)) return failed(failureOf(errno));

    // Each step's errno is taken at once: Qt reports only a generic error.
    const auto abandon = [&file](int error) {
        file.cancelWriting();
        return failed(failureOf(error));
    };
    errno = 0;
    if (file.write(bytes) != bytes.size()) return abandon(errno);
    // The file device buffers what it is given, so a small file meets a full
    // disk only here; commit() would flush it, ignore the failure and put
    // the short file in the target's place.
    errno = 0;
    if (!file.flush()) return abandon(errno);
    // Some file systems report a full disk only once the data is synced.
    // A file that cannot be synced at all (EINVAL) has no such delay.
    if (::fsync(file.handle()) != 0 && errno != EINVAL && errno != ENOTSUP) {
        return abandon(errno);
    }
    errno = 0;
    if (!file.commit()) return failed(failureOf(errno));
    return {true, WriteFailure::None, QString()};
}
