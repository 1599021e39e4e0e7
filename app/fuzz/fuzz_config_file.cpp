// SPDX-License-Identifier: GPL-3.0-or-later
// The configuration file's parser on any bytes: it never crashes, and a file
// it reads whole is written and read back to the same record.
#include <QByteArray>
#include <QStringDecoder>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "config/config_record.h"
#include "config/windows_1252.h"

namespace {

// What writing does to a text: a double quote becomes an apostrophe, a line
// break a blank, and a character Windows-1252 cannot hold a "?".
QString asWritten(QString text) {
    text.replace(u'"', u'\'');
    text.replace(u'\r', u' ');
    text.replace(u'\n', u' ');
    return fromWindows1252(toWindows1252(text));
}

// Windows-1252 bytes beyond ASCII that happen to form valid UTF-8 read back
// as UTF-8, so their texts may differ; every other field must not.
bool readsAsOtherText(const QByteArray& bytes) {
    bool beyondAscii = false;
    for (const char b : bytes) beyondAscii = beyondAscii || static_cast<unsigned char>(b) >= 0x80;
    if (!beyondAscii) return false;
    QStringDecoder utf8(QStringDecoder::Utf8);
    (void)utf8.decode(bytes);
    return !utf8.hasError();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    ConfigRecord record = parseConfiguration(bytes);
    if (!record.complete()) return 0;
    record.UnitsText = asWritten(record.UnitsText);
    record.DataFileName = asWritten(record.DataFileName);
    const QByteArray written = formatConfiguration(record);
    ConfigRecord again = parseConfiguration(written);
    if (readsAsOtherText(written)) {
        if (!again.complete()) std::abort();
        again.UnitsText = record.UnitsText;
        again.DataFileName = record.DataFileName;
    }
    if (!(again == record)) std::abort();
    return 0;
}
