// SPDX-License-Identifier: GPL-3.0-or-later
// The configuration file's texts in the Windows Western code page
// (Windows-1252), one byte per character, so that programs reading the file
// byte by byte see the same units and file names.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Each character as its Windows-1252 byte; a character the code page cannot
// hold becomes "?" (one "?" for a character outside the 16-bit range too).
QByteArray toWindows1252(QStringView text);

// Every byte is a character. The five bytes the code page leaves undefined
// (81, 8D, 8F, 90, 9D hex) read as the control characters of the same number,
// as Windows reads them, and are written back as the same bytes.
QString fromWindows1252(QByteArrayView bytes);

// A file that is valid UTF-8 is read as UTF-8 (files written by earlier
// versions of this program); any other as Windows-1252.
QString decodeConfigurationText(QByteArrayView bytes);
