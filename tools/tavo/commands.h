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
};

int runDetect(bool json);

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
