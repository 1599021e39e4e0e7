// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/numbers.h"

#include <QLocale>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

double readNumber(const QString& text) {
    const QString t = text;
    int i = 0;
    const int n = static_cast<int>(t.size());
    while (i < n && (t[i] == u' ' || t[i] == u'\t')) ++i;

    std::string num;
    if (i < n && (t[i] == u'+' || t[i] == u'-')) {
        if (t[i] == u'-') num += '-';
        ++i;
    }
    int digits = 0;
    while (i < n && t[i].isDigit() && t[i].unicode() < 128) {
        num += static_cast<char>(t[i].unicode());
        ++i;
        ++digits;
    }
    if (i < n && (t[i] == u'.' || t[i] == u',')) {
        num += '.';
        ++i;
        while (i < n && t[i].unicode() >= '0' && t[i].unicode() <= '9') {
            num += static_cast<char>(t[i].unicode());
            ++i;
            ++digits;
        }
    }
    if (digits == 0) return 0.0;

    // An exponent counts only when at least one digit follows it.
    bool negativeExponent = false;
    if (i < n && (t[i] == u'e' || t[i] == u'E')) {
        int j = i + 1;
        std::string exp = "e";
        if (j < n && (t[j] == u'+' || t[j] == u'-')) {
            negativeExponent = t[j] == u'-';
            exp += static_cast<char>(t[j].unicode());
            ++j;
        }
        const int firstDigit = j;
        while (j < n && t[j].unicode() >= '0' && t[j].unicode() <= '9') {
            exp += static_cast<char>(t[j].unicode());
            ++j;
        }
        if (j > firstDigit) num += exp;
    }

    double value = 0.0;
    const auto [ptr, ec] = std::from_chars(num.data(), num.data() + num.size(), value);
    (void)ptr;
    if (ec == std::errc::result_out_of_range) {
        if (negativeExponent) return 0.0;
        const double inf = std::numeric_limits<double>::infinity();
        return num[0] == '-' ? -inf : inf;
    }
    if (ec != std::errc()) return 0.0;
    return value;
}

namespace {

template <typename T>
std::optional<T> roundTo(double value) {
    if (!std::isfinite(value)) return std::nullopt;
    // rint honours the default rounding mode: to nearest, ties to even.
    const double r = std::rint(value);
    if (r < static_cast<double>(std::numeric_limits<T>::min()) ||
        r > static_cast<double>(std::numeric_limits<T>::max()))
        return std::nullopt;
    return static_cast<T>(r);
}

// Fixed notation with up to maxDecimals decimals, trailing zeros dropped down
// to minDecimals, the locale's decimal separator, and no "-" on a zero.
QString fixedPattern(double value, int minDecimals, int maxDecimals) {
    if (std::isnan(value)) return QStringLiteral("NaN");
    if (std::isinf(value)) return value < 0 ? QStringLiteral("-Inf") : QStringLiteral("Inf");
    QString s = QString::number(value, 'f', maxDecimals);
    int dot = static_cast<int>(s.indexOf(u'.'));
    int keep = static_cast<int>(s.size());
    while (keep > dot + 1 + minDecimals && s[keep - 1] == u'0') --keep;
    s.truncate(keep);
    if (s.startsWith(u'-')) {
        bool allZero = true;
        for (QChar c : s.mid(1))
            if (c != u'0' && c != u'.') allZero = false;
        if (allZero) s.remove(0, 1);
        dot = static_cast<int>(s.indexOf(u'.'));
    }
    const QString sep = QLocale().decimalPoint();
    if (dot >= 0) s.replace(dot, 1, sep);
    return s;
}

}  // namespace

std::optional<int16_t> Round16(double value) {
    return roundTo<int16_t>(value);
}

std::optional<int32_t> Round32(double value) {
    return roundTo<int32_t>(value);
}

QString formatValue(double value) {
    return fixedPattern(value, 2, 2);
}

QString formatOutput(double value) {
    return fixedPattern(value, 1, 3);
}

QString FormatAxisValue(double value) {
    return fixedPattern(value, 1, 2);
}

QString plainNumber(float value) {
    if (std::isnan(value)) return QStringLiteral("NaN");
    if (std::isinf(value)) return value < 0 ? QStringLiteral("-Inf") : QStringLiteral("Inf");
    if (value == 0.0f) return QStringLiteral("0");

    // Round to 7 significant digits first; the exponent of the rounded value
    // decides the form (9999999.6 becomes 1E+07).
    // to_chars writes "." whatever the C locale (a file number, never a display one).
    char buf[32];
    const auto written = std::to_chars(buf, buf + sizeof buf, static_cast<double>(value),
                                       std::chars_format::scientific, 6);
    const std::string s(buf, written.ptr);
    const bool negative = s[0] == '-';
    const size_t start = negative ? 1 : 0;
    std::string digits;
    digits += s[start];
    const size_t e = s.find('e');
    digits += s.substr(start + 2, e - (start + 2));
    const int exponent = std::stoi(s.substr(e + 1));
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

    std::string out = negative ? "-" : "";
    if (exponent >= 7 || exponent < -4) {
        out += digits[0];
        if (digits.size() > 1) out += "." + digits.substr(1);
        char ebuf[16];
        std::snprintf(ebuf, sizeof ebuf, "E%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
        out += ebuf;
    } else if (exponent < 0) {
        out += "." + std::string(static_cast<size_t>(-exponent - 1), '0') + digits;
    } else {
        const size_t intDigits = static_cast<size_t>(exponent) + 1;
        if (digits.size() <= intDigits) {
            out += digits + std::string(intDigits - digits.size(), '0');
        } else {
            out += digits.substr(0, intDigits) + "." + digits.substr(intDigits);
        }
    }
    return QString::fromStdString(out);
}
