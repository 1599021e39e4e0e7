// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/log_format.h"

#include <QFileInfo>

#include <charconv>
#include <cmath>

#include "common/numbers.h"

std::string secondsText(double seconds) {
    if (!std::isfinite(seconds)) return "0";
    char buf[64];
    // to_chars ignores the locale, unlike printf.
    const auto r = std::to_chars(buf, buf + sizeof buf, seconds, std::chars_format::fixed, 4);
    std::string s(buf, r.ptr);
    if (s.find('.') != std::string::npos) {
        while (s.back() == '0') s.pop_back();
        if (s.back() == '.') s.pop_back();
    }
    if (s == "-0") s = "0";
    // The data file writes no 0 before the point: .5, -.25.
    if (s.rfind("0.", 0) == 0) s.erase(0, 1);
    if (s.rfind("-0.", 0) == 0) s.erase(1, 1);
    return s;
}

void appendLogRow(std::string& out, const LoggedSample& sample) {
    char buf[16];
    auto r = std::to_chars(buf, buf + sizeof buf, sample.sweep);
    out.append(buf, r.ptr);
    out += ',';
    r = std::to_chars(buf, buf + sizeof buf, sample.sample);
    out.append(buf, r.ptr);
    out += ',';
    out += secondsText(sample.seconds);
    for (const float v : sample.values) {
        out += ',';
        out += plainNumber(v).toStdString();
    }
    out += "\r\n";
}

QString logFileName(const QString& dataFile, const QDateTime& start, int part) {
    const QFileInfo info(dataFile);
    QString name = info.completeBaseName();
    if (name.isEmpty()) name = info.fileName();
    name += start.toString(QStringLiteral("_yyyy-MM-dd_HH-mm-ss"));
    if (part > 1) name += QStringLiteral("_%1").arg(part, 4, 10, QLatin1Char('0'));
    name += QStringLiteral(".csv");
    // The folder exactly as the data file names it (relative stays relative).
    const qsizetype slash = dataFile.lastIndexOf(QLatin1Char('/'));
    return dataFile.left(slash + 1) + name;
}
