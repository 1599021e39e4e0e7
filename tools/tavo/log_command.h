// SPDX-License-Identifier: GPL-3.0-or-later
// tavo log: the four inputs of a converter sampled at a fixed period into CSV.
#pragma once

#include <cstdint>
#include <string>

#include "modules.h"

namespace tavo::cli {

struct LogOptions {
    Converter converter = Converter::Ad8;
    Target target;
    int mode = -1;  // 8-bit input mode, -1: as recorded (0)
    bool upper = false, differential = false;
    double periodMs = 100;
    int64_t samples = -1;   // -1: no count
    double durationS = -1;  // wall time to log, -1: no limit
    bool volts = false;
    double vref = 0;     // full scale in volts, 0: the converter's default
    std::string output;  // empty: standard output
};

// One CSV row: time in seconds, then the four channels; a channel that was
// not read is an empty field.
std::string csvRow(double seconds, const int16_t* codes, int channels, bool answered,
                   const LogOptions& o);
std::string csvHeader(const LogOptions& o);

// Runs until the samples are taken, the duration is spent or SIGINT, SIGTERM
// or SIGHUP arrives; every row taken is written. A failed write stops it at
// once with the reason; a reader that goes away (a closed pipe) ends it
// quietly. Returns the exit status: 1 when a sample failed or the output
// could not be written.
int runLog(const LogOptions& o);

}  // namespace tavo::cli
