// SPDX-License-Identifier: GPL-3.0-or-later
// Writing a whole file so that whoever reads it finds either the previous
// contents or the new ones, never a part: the data file and the
// configuration file are both written this way.
#pragma once

#include <QByteArray>
#include <QString>

enum class WriteFailure {
    None,
    DiskFull,      // no room left (or the file grew past the size allowed)
    NoPermission,  // the file or its folder may not be written
    IsFolder,      // the name is a folder's
    NoFolder,      // the folder the name points into does not exist
    Other,
};

struct WriteOutcome {
    bool written = false;
    WriteFailure failure = WriteFailure::None;
    QString reason;  // why not, in the user's words, when not written
};

// The reason as the program says it: "disco lleno", "sin permiso de
// escritura", ...; empty for None.
QString writeFailureText(WriteFailure failure);

// Writes bytes to a new file beside path and puts it in path's place only
// when every byte reached the disk; a write that failed at any step, the
// final flush included, leaves the previous file as it was and removes the
// new one. Where the folder refuses the new file but path itself may be
// written, path is written in place. An existing read-only file is not
// replaced.
WriteOutcome writeFileAtomically(const QString& path, const QByteArray& bytes);
