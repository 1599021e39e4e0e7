// SPDX-License-Identifier: GPL-3.0-or-later
#include "acquisition/sampling_timer.h"

#include <chrono>
#include <cmath>

QtSamplingTimer::QtSamplingTimer() {
    timer_.setSingleShot(true);
    // The coarse timer may fire up to 5 % early or late, which the measured
    // period would show.
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
        if (fired) fired();
    });
}

void QtSamplingTimer::arm(double delayMs) {
    // Never early: a tick that fires before its slot would see the sweep's
    // time a little short.
    const double ms = std::isfinite(delayMs) && delayMs > 0.0 ? std::ceil(delayMs) : 0.0;
    timer_.start(std::chrono::milliseconds(static_cast<long long>(ms)));
}
