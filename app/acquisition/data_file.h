// SPDX-License-Identifier: GPL-3.0-or-later
// The data file: one line per sample, "time,CH0,CH1,CH2,CH3,output", each
// line ending in CR LF.
#pragma once

#include <QByteArray>

#include <cstdint>

class SweepBuffer;

// The lines of samples 1 to sampleCounter - 1 of the buffer, the k-th line
// (from 0) timed periodMs x k.
QByteArray dataFileText(const SweepBuffer& buffer, int sampleCounter, int16_t periodMs);
