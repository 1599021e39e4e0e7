// SPDX-License-Identifier: GPL-3.0-or-later
#include "acquisition/data_file.h"

#include "acquisition/sweep_buffer.h"
#include "common/numbers.h"

QByteArray dataFileText(const SweepBuffer& buffer, int sampleCounter, int16_t periodMs) {
    QByteArray text;
    const float period = static_cast<float>(periodMs);
    for (int k = 0; k <= sampleCounter - 2; ++k) {
        const int sample = k + 1;
        if (!buffer.contains(SweepBuffer::kRows - 1, sample)) break;
        // The time is a single, as the samples' values are.
        QString line = plainNumber(period * static_cast<float>(k));
        for (int row = 0; row < SweepBuffer::kRows; ++row) {
            line += u',';
            line += plainNumber(buffer.at(row, sample));
        }
        text += line.toLatin1();
        text += "\r\n";
    }
    return text;
}
