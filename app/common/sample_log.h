// SPDX-License-Identifier: GPL-3.0-or-later
// Where the sampling engine hands every sample as it is read, for the log
// that keeps all sweeps of a recording. push() only queues a small record and
// never waits for a disk, so it may be called from the thread that reads.
#pragma once

#include <QString>

#include <array>
#include <cstdint>

struct LoggedSample {
    int32_t sweep = 0;   // from 1 at the recording's start
    int32_t sample = 0;  // from 1 at each sweep's start
    // Seconds from the recording's start to this read, on the engine's clock.
    double seconds = 0.0;
    // CH 0 to CH 3 in units, then the analog output code.
    std::array<float, 5> values{};
};

class SampleLog {
  public:
    virtual ~SampleLog() = default;
    // A recording starts that writes its sweeps to dataFileName.
    virtual void recordingBegins(const QString& dataFileName) = 0;
    virtual void push(const LoggedSample& sample) noexcept = 0;
    // The recording has stopped; what was pushed is written.
    virtual void recordingEnds() = 0;
};
