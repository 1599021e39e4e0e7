// SPDX-License-Identifier: LGPL-2.1-or-later
#include "source.h"

#include <chrono>
#include <cmath>
#include <numbers>

namespace tavo::sim {

namespace {
int64_t steadyNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Position inside the period, 0 <= phase < 1.
double phaseOf(double t, double hz) {
    const double cycles = t * hz;
    return cycles - std::floor(cycles);
}

Source make(Source::Kind kind, double a, double b, double hz) {
    Source s;
    s.kind = kind;
    s.a = a;
    s.b = b;
    s.hz = hz;
    return s;
}
}  // namespace

SourceClock::SourceClock() : epochNs_(steadyNs()) {}

double SourceClock::seconds() const {
    if (virtualNs_) return static_cast<double>(*virtualNs_) / 1e9;
    return static_cast<double>(steadyNs() - epochNs_) / 1e9;
}

Source Source::constant(double volts) {
    return make(Kind::Constant, volts, 0.0, 0.0);
}
Source Source::sine(double centre, double amplitude, double hz) {
    return make(Kind::Sine, centre, amplitude, hz);
}
Source Source::triangle(double low, double high, double hz) {
    return make(Kind::Triangle, low, high, hz);
}
Source Source::square(double low, double high, double hz) {
    return make(Kind::Square, low, high, hz);
}
Source Source::noise(double centre, double amplitude) {
    return make(Kind::Noise, centre, amplitude, 0.0);
}
Source Source::loopback() {
    return make(Kind::Loopback, 0.0, 0.0, 0.0);
}

double Source::at(double t, double loopVolts) {
    switch (kind) {
        case Kind::Constant:
            return a;
        case Kind::Sine:
            return a + b * std::sin(2.0 * std::numbers::pi * phaseOf(t, hz));
        case Kind::Triangle: {
            const double p = phaseOf(t, hz);
            const double rise = p < 0.5 ? 2.0 * p : 2.0 - 2.0 * p;
            return a + (b - a) * rise;
        }
        case Kind::Square:
            return phaseOf(t, hz) < 0.5 ? b : a;
        case Kind::Noise: {
            // xorshift32: cheap, allocation-free and repeatable per source.
            noiseState ^= noiseState << 13;
            noiseState ^= noiseState >> 17;
            noiseState ^= noiseState << 5;
            const double unit = static_cast<double>(noiseState) / 4294967295.0;  // 0..1
            return a + b * (2.0 * unit - 1.0);
        }
        case Kind::Loopback:
            return loopVolts;
    }
    return 0.0;
}

}  // namespace tavo::sim
