// SPDX-License-Identifier: GPL-3.0-or-later
// The log of every sweep: a header naming the columns, then one CR LF line per
// sample "sweep,sample,seconds,CH0,CH1,CH2,CH3,output", numbers written as in
// the data file ("." whatever the locale); files named after the data file
// and the recording's start.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <string>

#include "common/sample_log.h"

// The header line, without its line end.
inline constexpr char kLogHeader[] = "barrido,muestra,tiempo_s,CH0,CH1,CH2,CH3,salida";

// Seconds with at most four decimals, as the data file writes numbers:
// "12.5", ".0625", "0", "-.1".
std::string secondsText(double seconds);

// One row, with its CR LF, appended to out.
void appendLogRow(std::string& out, const LoggedSample& sample);

// The log file beside dataFile for a recording started at start: the data
// file's name without its extension, the start as _yyyy-MM-dd_HH-mm-ss, then
// .csv; a part after the first (part 2, 3, ...) adds _0002, _0003, ... so the
// parts of one recording sort in order.
QString logFileName(const QString& dataFile, const QDateTime& start, int part = 1);
