// The sampling engine's sense of time, behind two small interfaces so tests
// can drive the ticks and the clock by hand.
#pragma once

#include <QElapsedTimer>
#include <QTimer>

#include <functional>

// Monotonic seconds from an arbitrary origin: a sweep across midnight or a
// change of the wall clock does not disturb the measured period.
class Clock {
  public:
    virtual ~Clock() = default;
    virtual double now() const = 0;
};

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

class SteadyClock : public Clock {
  public:
    SteadyClock() { elapsed_.start(); }
    double now() const override { return static_cast<double>(elapsed_.nsecsElapsed()) * 1e-9; }

  private:
    QElapsedTimer elapsed_;
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
