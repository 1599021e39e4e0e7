// SPDX-License-Identifier: GPL-3.0-or-later
// Reads a recording back: the program's data file ("ms,CH0,CH1,CH2,CH3,
// output" per line) or the log of every sweep (its header, then "sweep,
// sample,seconds,CH0,CH1,CH2,CH3,output"). A damaged file gives what precedes
// the first bad line and says in Spanish where reading stopped; a line not yet
// ended (a file still being written, or cut short) is left for later. The
// file is only ever opened for reading.
#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

enum class RecordingFormat { Unknown, DataFile, Log };

struct RecordingData {
    RecordingFormat format = RecordingFormat::Unknown;
    // Seconds from the recording's start, never decreasing.
    std::vector<double> seconds;
    // CH 0 to CH 3 in units, then the analog output code, one per time.
    std::array<std::vector<float>, 5> values;
    size_t size() const { return seconds.size(); }
};

// The text of the lines; works on any bytes, in pieces as they arrive.
class RecordingParser {
  public:
    // Parses the complete lines at the start of bytes and returns the number
    // of bytes they took; the rest (a line not yet ended) is to be given
    // again with what follows it. After a bad line nothing more is taken.
    size_t feed(std::string_view bytes);
    // Told once no more bytes come for now: atEnd is the unused rest.
    void noteRest(std::string_view rest);

    const RecordingData& data() const { return data_; }
    RecordingData& data() { return data_; }
    bool stopped() const { return stopped_; }
    // Line numbers from 1; lines() is how many complete lines were taken.
    int lines() const { return line_; }
    // Why reading stopped, or why the last line is not shown yet; empty
    // when the whole text was read.
    QString problem() const;

  private:
    bool parseLine(std::string_view line);
    void stop(const QString& reason);

    RecordingData data_;
    int line_ = 0;
    bool stopped_ = false;
    QString stopReason_;
    int stopLine_ = 0;
    // A last line without its line end, or 0.
    int cutLine_ = 0;
    bool empty_ = true;
};

// A recording file and how far it has been read; update() reads what has
// been added since, so a file still being written can be followed.
class RecordingFile {
  public:
    explicit RecordingFile(QString path);
    // Reads the file's new bytes. A file replaced by another (the data file
    // is rewritten at each sweep) or grown shorter is read again from the
    // start. Returns whether the samples changed.
    bool update();
    const QString& path() const { return path_; }
    bool opened() const { return opened_; }
    const RecordingParser& parser() const { return parser_; }
    const RecordingData& data() const { return parser_.data(); }
    // The problem in Spanish, or an empty text.
    QString problem() const;
    // Counts the times the file was found replaced and read from the start.
    int restarts() const { return restarts_; }

  private:
    QString path_;
    RecordingParser parser_;
    bool opened_ = false;
    int restarts_ = 0;
    QString openError_;
    int64_t consumed_ = 0;
    uint64_t inode_ = 0;
    uint64_t device_ = 0;
};
