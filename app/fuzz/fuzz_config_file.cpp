// The configuration file's parser on any bytes: it never crashes, and a file
// it reads whole is written and read back to the same record.
#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "config/config_record.h"

namespace {

// What writing does to a text: a double quote becomes an apostrophe and a
// line break a blank, so that the file can always be read back.
QString asWritten(QString text) {
    text.replace(u'"', u'\'');
    text.replace(u'\r', u' ');
    text.replace(u'\n', u' ');
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    ConfigRecord record = parseConfiguration(bytes);
    if (!record.complete()) return 0;
    record.UnitsText = asWritten(record.UnitsText);
    record.DataFileName = asWritten(record.DataFileName);
    const ConfigRecord again = parseConfiguration(formatConfiguration(record));
    if (!(again == record)) std::abort();
    return 0;
}
