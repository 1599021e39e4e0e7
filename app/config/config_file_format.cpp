// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/config_file_format.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

#include "common/numbers.h"
#include "config/windows_1252.h"

namespace config_format {
namespace {

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t';
}

// The number a numeric field holds, in double precision; std::nullopt when
// the field is not a number or lies beyond a double.
std::optional<double> fieldNumber(const Field& field) {
    if (field.quoted) return std::nullopt;
    const QString& t = field.text;
    if (t.compare(u"#TRUE#", Qt::CaseInsensitive) == 0) return -1.0;
    if (t.compare(u"#FALSE#", Qt::CaseInsensitive) == 0) return 0.0;

    // [+-] digits [. digits] [E [+-] digits], or [+-] . digits [...]: checked
    // here because from_chars would also take "inf", "nan" and hex forms.
    qsizetype i = 0;
    const qsizetype n = t.size();
    if (i < n && (t[i] == u'+' || t[i] == u'-')) ++i;
    const qsizetype mantissaStart = i;
    qsizetype digits = 0;
    while (i < n && t[i].isDigit() && t[i].unicode() < 128) ++i, ++digits;
    if (i < n && t[i] == u'.') {
        ++i;
        while (i < n && t[i].isDigit() && t[i].unicode() < 128) ++i, ++digits;
    }
    if (digits == 0) return std::nullopt;
    if (i < n && (t[i] == u'E' || t[i] == u'e')) {
        ++i;
        if (i < n && (t[i] == u'+' || t[i] == u'-')) ++i;
        qsizetype expDigits = 0;
        while (i < n && t[i].isDigit() && t[i].unicode() < 128) ++i, ++expDigits;
        if (expDigits == 0) return std::nullopt;
    }
    if (i != n) return std::nullopt;

    const std::string ascii = t.mid(mantissaStart).toStdString();
    double magnitude = 0.0;
    const auto [end, ec] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), magnitude);
    if (ec != std::errc() || end != ascii.data() + ascii.size()) return std::nullopt;
    return t.startsWith(u'-') ? -magnitude : magnitude;
}

}  // namespace

std::optional<QList<Field>> splitLine(QStringView line) {
    QList<Field> fields;
    qsizetype i = 0;
    const qsizetype n = line.size();
    for (;;) {
        while (i < n && isBlank(line[i])) ++i;
        Field field;
        if (i < n && line[i] == u'"') {
            const qsizetype close = line.indexOf(u'"', i + 1);
            if (close < 0) return std::nullopt;
            field.text = line.mid(i + 1, close - i - 1).toString();
            field.quoted = true;
            i = close + 1;
            while (i < n && isBlank(line[i])) ++i;
            if (i < n && line[i] != u',') return std::nullopt;
        } else {
            qsizetype comma = line.indexOf(u',', i);
            if (comma < 0) comma = n;
            field.text = line.mid(i, comma - i).trimmed().toString();
            i = comma;
        }
        fields.append(field);
        if (i >= n) break;
        ++i;  // past the comma
    }
    return fields;
}

QStringList splitFileLines(const QByteArray& bytes) {
    const QString text = decodeConfigurationText(bytes);
    QStringList lines = text.split(u'\n');
    // The line end after the last line leaves one empty piece behind.
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    for (QString& line : lines) {
        if (line.endsWith(u'\r')) line.chop(1);
    }
    return lines;
}

std::optional<int16_t> toInt16(const Field& field) {
    const auto number = fieldNumber(field);
    return number ? Round16(*number) : std::nullopt;
}

std::optional<int32_t> toInt32(const Field& field) {
    const auto number = fieldNumber(field);
    return number ? Round32(*number) : std::nullopt;
}

std::optional<float> toReal(const Field& field) {
    const auto number = fieldNumber(field);
    return number ? toSingle(*number) : std::nullopt;
}

QString toText(const Field& field) {
    return field.text;
}

std::optional<float> toSingle(double value) {
    constexpr double kMax = std::numeric_limits<float>::max();
    // Beyond the largest single by less than half its last step, a value
    // still rounds down to it; from there on it is out of range.
    constexpr double kLimit = kMax + 0x1p103;
    if (std::isnan(value)) return std::nullopt;
    if (std::fabs(value) <= kMax) return static_cast<float>(value);
    if (std::fabs(value) < kLimit) {
        return value < 0 ? -std::numeric_limits<float>::max() : std::numeric_limits<float>::max();
    }
    return std::nullopt;
}

QString intField(int32_t value) {
    return QString::number(value);
}

QString realField(float value) {
    // Plain digits for everyday magnitudes, exponent form beyond them; both
    // with the fewest digits that read back as the same single.
    const float magnitude = std::fabs(value);
    const bool plain = magnitude == 0.0f || (magnitude >= 1e-5f && magnitude < 1e7f);
    char buffer[128];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value,
                      plain ? std::chars_format::fixed : std::chars_format::scientific);
    QString text = QString::fromLatin1(buffer, result.ptr - buffer);
    return text.replace(u'e', u'E');
}

QString textField(const QString& text) {
    QString body = text;
    body.replace(u'"', u'\'');
    body.replace(u'\r', u' ');
    body.replace(u'\n', u' ');
    return u'"' + body + u'"';
}

QString flagField(bool value) {
    return value ? QStringLiteral("#TRUE#") : QStringLiteral("#FALSE#");
}

}  // namespace config_format
