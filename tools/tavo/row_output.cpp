// SPDX-License-Identifier: GPL-3.0-or-later
#include "row_output.h"

#include <unistd.h>

#include <cerrno>

namespace tavo::cli {

FlushPolicy::FlushPolicy(bool eachRow, double periodMs) : eachRow_(eachRow || periodMs >= 500) {}

bool FlushPolicy::afterRow(int64_t nowNs, int64_t nextDueNs) {
    if (eachRow_) return true;
    if (oldestNs_ < 0) oldestNs_ = nowNs;
    // Written before the wait that would carry the oldest row past its hold.
    return nowNs - oldestNs_ >= kHoldNs || nextDueNs - oldestNs_ >= kHoldNs;
}

void RowWriter::add(std::string_view line) {
    pending_.append(line);
    pending_.push_back('\n');
}

int RowWriter::flush() {
    size_t done = 0;
    int error = 0;
    while (done < pending_.size()) {
        const ssize_t n = ::write(fd_, pending_.data() + done, pending_.size() - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;  // a stop signal: the rows still go out
        } else {
            error = n < 0 ? errno : EIO;
            break;
        }
    }
    pending_.erase(0, done);
    return error;
}

}  // namespace tavo::cli
