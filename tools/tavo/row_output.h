// SPDX-License-Identifier: GPL-3.0-or-later
// Where tavo log's rows go and when they reach it. A regular file gets its
// rows in batches, none held back longer than about half a second (each row
// at once when the period is half a second or more); a pipe or a terminal
// gets every row as it is taken. A failed write is reported at once, with
// its errno, so the log can stop there.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tavo::cli {

// When the rows kept in memory must go out.
class FlushPolicy {
  public:
    // Rows are held at most this long (the next read's own time on top of
    // it stays under half a second on any module).
    static constexpr int64_t kHoldNs = 400'000'000;

    // eachRow: a pipe or a terminal, where the reader waits for every row.
    FlushPolicy(bool eachRow, double periodMs);
    // A row was kept at nowNs and the next one is due at nextDueNs: true
    // when the kept rows must be written now.
    bool afterRow(int64_t nowNs, int64_t nextDueNs);
    // The kept rows were written.
    void flushed() { oldestNs_ = -1; }

  private:
    bool eachRow_;
    int64_t oldestNs_ = -1;  // time of the oldest row not yet written
};

// Lines kept in memory and written to a file descriptor on flush().
class RowWriter {
  public:
    explicit RowWriter(int fd) : fd_(fd) {}
    void add(std::string_view line);
    // 0 when everything kept is written, else the errno of the failed
    // write (what was written before it stays written).
    int flush();
    bool empty() const { return pending_.empty(); }

  private:
    int fd_;
    std::string pending_;
};

}  // namespace tavo::cli
