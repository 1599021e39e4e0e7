// SPDX-License-Identifier: GPL-3.0-or-later
// The tool's subcommands other than log, each one or a few library calls.
// They print on stdout, report failures on stderr and return the exit status.
#pragma once

#include <cstdint>
#include <string>

#include "modules.h"

namespace tavo::cli {

struct ReadOptions {
    bool volts = false;
    bool json = false;
    double vref = 0;  // full scale in volts, 0: the converter's default
};

// text as a JSON string, quotes included.
std::string jsonString(const std::string& text);
// A failure said on stderr, and with json also as {"error": ...} on stdout,
// so a caller that reads the JSON learns why there is no result. Returns 1.
int reportFailure(const std::string& words, bool json);

int runDetect(bool json);
// The backend the library runs on and why, as one JSON object (tavo32_ext.h);
// null from a library without that extension.
std::string backendJson();

int runReadAd8(const Target& t, int mode, const ReadOptions& o);  // mode -1: as recorded
int runReadAd12(const Target& t, bool upper, bool differential, const ReadOptions& o);
int runReadDigital(const Target& t, const ReadOptions& o);
int runReadCount(const Target& t, bool alarm, const ReadOptions& o);
int runReadRegister(const Target& t, int reg, const ReadOptions& o);

enum class WriteKind { Ad8, Ad12, Digital, Count, Alarm };
int runWrite(WriteKind kind, const Target& t, int64_t value);
// count start|stop, alarm start|stop.
int runCounterControl(bool alarm, bool start, const Target& t);

// Prints the bench in force in the bench-file format.
int runBenchPrint();

}  // namespace tavo::cli
