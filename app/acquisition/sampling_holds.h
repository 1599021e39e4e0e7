// SPDX-License-Identifier: GPL-3.0-or-later
// The reasons the plot window holds the sampling ticks: its configure panel,
// the XY width adjustment and printing. The ticks stop with the first hold
// and resume (when a recording runs) only once the last one is released, so
// ending one of them never restarts the ticks while another still needs the
// trace area quiet.
#pragma once

#include <functional>

class SamplingHolds {
  public:
    enum Reason : unsigned { ConfigurePanel = 1, Adjusting = 2, Printing = 4 };

    SamplingHolds(std::function<void()> pause, std::function<void()> resume)
        : pause_(std::move(pause)), resume_(std::move(resume)) {}

    // Stops the ticks. Holding again for the same reason stops them again
    // (a recording started meanwhile runs its own timer).
    void hold(Reason reason);
    // Resumes when this was the last reason held; a reason not held does
    // nothing.
    void release(Reason reason);
    bool held(Reason reason) const { return (held_ & reason) != 0; }
    bool any() const { return held_ != 0; }

  private:
    std::function<void()> pause_;
    std::function<void()> resume_;
    unsigned held_ = 0;
};
