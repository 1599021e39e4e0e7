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
    int64_t samples = -1;  // -1: until stopped
    bool volts = false;
    std::string output;  // empty: standard output
};

// Number of samples that fit in durationS at periodMs (at least one).
int64_t samplesForDuration(double durationS, double periodMs);

// One CSV row: time in seconds, then the four channels; a channel that was
// not read is an empty field.
std::string csvRow(double seconds, const int16_t* codes, int channels, bool answered,
                   const LogOptions& o);
std::string csvHeader(const LogOptions& o);

// Runs until the samples are taken or SIGINT/SIGTERM arrives; every sample
// taken is written and the file closed. Returns the exit status: 1 when a
// sample failed or the output could not be written.
int runLog(const LogOptions& o);

}  // namespace tavo::cli
