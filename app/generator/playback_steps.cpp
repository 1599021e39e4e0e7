// SPDX-License-Identifier: GPL-3.0-or-later
#include "generator/playback_steps.h"

#include <cmath>
#include <limits>

PlaybackSteps::PlaybackSteps(std::vector<int16_t> entries, bool oneShot, int16_t held, double start)
    : entries_(std::move(entries)), oneShot_(oneShot), held_(held), passStart_(start) {}

PlaybackStep PlaybackSteps::step(double now) {
    PlaybackStep s;
    if (entries_.empty()) {
        s.ended = true;
        return s;
    }
    s.code = entries_[index_];
    // Two equal entries in a row write once.
    s.written = s.code != held_;
    held_ = s.code;
    ++index_;
    s.nextIndex = static_cast<int>(index_) + 1;
    if (index_ < entries_.size()) return s;
    const double ms = std::floor((now - passStart_) * 1000.0);
    constexpr double lo = std::numeric_limits<int>::min();
    constexpr double hi = std::numeric_limits<int>::max();
    s.passMs = static_cast<int>(ms < lo ? lo : (ms > hi ? hi : ms));
    passStart_ = now;
    index_ = 0;
    s.nextIndex = 1;
    // A one-shot table ends here; the output keeps its last entry.
    s.ended = oneShot_;
    return s;
}
