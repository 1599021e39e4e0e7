// The data file: one line per sample, "time,CH0,CH1,CH2,CH3,output", each
// line ending in CR LF.
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

class SweepBuffer;

// The lines of samples 1 to sampleCounter - 1 of the buffer, the k-th line
// (from 0) timed periodMs x k.
QByteArray dataFileText(const SweepBuffer& buffer, int sampleCounter, int16_t periodMs);

struct WriteOutcome {
    bool written = false;
    QString reason;  // why not, when not written
};

// Writes the text beside the file and puts it in the file's place only when
// every byte reached the disk, so a failed write leaves the previous file.
WriteOutcome writeTextFile(const QString& path, const QByteArray& text);
