// SPDX-License-Identifier: GPL-3.0-or-later
// Fields and lines of the nine-line configuration file, without any window:
// splitting a line into fields, reading each field by its kind, and the text
// form each kind is written in.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <cstdint>
#include <optional>

namespace config_format {

// One comma-separated field as it stood in the line. A quoted field keeps
// only what was between the quotes.
struct Field {
    QString text;
    bool quoted = false;
};

// Splits a line at the commas that are not inside double quotes. Blanks
// around a field are dropped. std::nullopt when a quote is not closed or
// something other than blanks follows a closing quote.
std::optional<QList<Field>> splitLine(QStringView line);

// The lines of a file: CR LF ends a line (a bare LF is taken too). A file
// that is valid UTF-8 is read as UTF-8, any other as Windows-1252, the code
// page the file is written in.
QStringList splitFileLines(const QByteArray& bytes);

// Numeric fields accept the usual decimal forms with "." ("12", "-3", "2.5",
// ".5", "1E+30") and the flags #TRUE# (-1) and #FALSE# (0). Whole-number
// fields round a fraction to the nearest value, halves to even. std::nullopt:
// the field is of the wrong kind or its value does not fit.
std::optional<int16_t> toInt16(const Field& field);
std::optional<int32_t> toInt32(const Field& field);
std::optional<float> toReal(const Field& field);
// A text field: quoted or not, its text as is.
QString toText(const Field& field);

// The single nearest to value; std::nullopt when value lies beyond the range
// of a single (or is not a number).
std::optional<float> toSingle(double value);

// Text forms as written.
QString intField(int32_t value);
// Shortest text that reads back as the same single: "1", "2.5", "0.001",
// "1E+30".
QString realField(float value);
// In double quotes. A double quote inside becomes an apostrophe and a line
// break a blank, so that the file can always be read back.
QString textField(const QString& text);
QString flagField(bool value);

// The walk over one line's fields in order, as the reader takes them.
class FieldCursor {
  public:
    explicit FieldCursor(QList<Field> fields) : fields_(std::move(fields)) {}
    std::optional<int16_t> nextInt16() { return has() ? toInt16(fields_[next_++]) : std::nullopt; }
    std::optional<int32_t> nextInt32() { return has() ? toInt32(fields_[next_++]) : std::nullopt; }
    std::optional<float> nextReal() { return has() ? toReal(fields_[next_++]) : std::nullopt; }
    std::optional<QString> nextText() {
        return has() ? std::optional<QString>(toText(fields_[next_++])) : std::nullopt;
    }
    // True once every field has been taken.
    bool atEnd() const { return next_ >= fields_.size(); }

  private:
    bool has() const { return next_ < fields_.size(); }
    QList<Field> fields_;
    qsizetype next_ = 0;
};

}  // namespace config_format
