// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/windows_1252.h"

#include <QStringDecoder>

#include <array>

namespace {

// Bytes 80 to 9F hex; 0 where the code page defines no character.
constexpr std::array<char16_t, 32> kHighControls{
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,       // 88-8F
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,  // 98-9F
};

char16_t characterOf(unsigned char byte) {
    if (byte < 0x80 || byte >= 0xA0) return byte;
    const char16_t c = kHighControls[byte - 0x80];
    return c != 0 ? c : byte;
}

// The byte of a character, or '?' when the code page has none.
char byteOf(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
    for (size_t i = 0; i < kHighControls.size(); ++i) {
        const char32_t held = kHighControls[i] != 0 ? kHighControls[i] : char32_t(0x80 + i);
        if (held == c) return static_cast<char>(0x80 + i);
    }
    return '?';
}

}  // namespace

QByteArray toWindows1252(QStringView text) {
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        // A pair of surrogates is one character: one "?".
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ++i;
            bytes += '?';
        } else if (c.isSurrogate()) {
            bytes += '?';
        } else {
            bytes += byteOf(c.unicode());
        }
    }
    return bytes;
}

QString fromWindows1252(QByteArrayView bytes) {
    QString text;
    text.reserve(bytes.size());
    for (const char b : bytes) text += QChar(characterOf(static_cast<unsigned char>(b)));
    return text;
}

QString decodeConfigurationText(QByteArrayView bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes);
    return utf8.hasError() ? fromWindows1252(bytes) : text;
}
