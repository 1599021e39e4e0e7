// SPDX-License-Identifier: GPL-3.0-or-later
// The engines' sense of elapsed time, behind a small interface so tests can
// move it by hand.
#pragma once

#include <QElapsedTimer>

// Monotonic seconds from an arbitrary origin: a run across midnight or a
// change of the wall clock does not disturb what is measured.
class Clock {
  public:
    virtual ~Clock() = default;
    virtual double now() const = 0;
};

class SteadyClock : public Clock {
  public:
    SteadyClock() { elapsed_.start(); }
    double now() const override { return static_cast<double>(elapsed_.nsecsElapsed()) * 1e-9; }

  private:
    QElapsedTimer elapsed_;
};
