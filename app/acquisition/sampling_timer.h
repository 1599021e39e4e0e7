// SPDX-License-Identifier: GPL-3.0-or-later
// The sampling engine's sense of time, behind two small interfaces so tests
// can drive the ticks and the clock (core/clock.h) by hand.
#pragma once

#include <QTimer>

#include <functional>

#include "core/clock.h"

// A single-shot timer: armed for one delay, it fires once and disarms.
class SamplingTimer {
  public:
    virtual ~SamplingTimer() = default;
    virtual void arm(double delayMs) = 0;
    virtual void disarm() = 0;
    virtual bool armed() const = 0;
    // Set by the owner; runs when the timer fires.
    std::function<void()> fired;
};

class QtSamplingTimer : public SamplingTimer {
  public:
    QtSamplingTimer();
    void arm(double delayMs) override;
    void disarm() override { timer_.stop(); }
    bool armed() const override { return timer_.isActive(); }
    // The QTimer itself, for the window that shows it as TMR_ANALOGICO.
    QTimer* timer() { return &timer_; }

  private:
    QTimer timer_;
};
