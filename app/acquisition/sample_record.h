// SPDX-License-Identifier: GPL-3.0-or-later
// One sample as the acquisition thread hands it to the window thread: where
// it belongs, when it was really read, and what was read.
#pragma once

#include <array>
#include <cstdint>

struct SampleRecord {
    // The recording (or the sweep after a "Limpiar") it belongs to.
    unsigned generation = 0;
    // Sweep number within the recording, from 1, and the sample's index in
    // it, 1 to the sweep's samples. Index 0: the once-only sweep has ended
    // and nothing was read.
    int sweep = 1;
    int index = 0;
    // Seconds since the recording started: when the sample's slot was due
    // and when its read began. Their difference is the sample's lateness.
    double due = 0.0;
    double read = 0.0;
    // The same moment on the engine's clock, for the measured period.
    double readClock = 0.0;
    // CH 0 to CH 3 in units, and the output code held while reading.
    std::array<float, 4> inputs{};
    int16_t output = 0;

    double lateness() const { return read - due; }
};
