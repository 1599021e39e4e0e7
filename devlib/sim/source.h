// SPDX-License-Identifier: LGPL-2.1-or-later
// Signal sources that drive the bench's analog inputs, and the clock they
// are evaluated against. A source is only evaluated when a chip converts,
// never per port access.
#pragma once

#include <cstdint>

namespace tavo::sim {

// Seconds for the sources and the counters' event rates: wall time since the
// bench was built (so a running plot moves), or the bench's virtual clock
// (so a test sees the same values on every run).
class SourceClock {
  public:
    SourceClock();
    double seconds() const;
    void useVirtualTime(const uint64_t* virtualNs) { virtualNs_ = virtualNs; }

  private:
    int64_t epochNs_;
    const uint64_t* virtualNs_ = nullptr;
};

struct Source {
    enum class Kind : uint8_t { Constant, Sine, Triangle, Square, Noise, Loopback };

    Kind kind = Kind::Constant;
    double a = 0.0;   // constant: value; sine/noise: centre; triangle/square: low level
    double b = 0.0;   // sine/noise: amplitude; triangle/square: high level
    double hz = 0.0;  // periodic kinds: frequency
    uint32_t noiseState = 0x9E3779B9u;

    static Source constant(double volts);
    static Source sine(double centre, double amplitude, double hz);
    static Source triangle(double low, double high, double hz);
    static Source square(double low, double high, double hz);
    static Source noise(double centre, double amplitude);
    // The voltage of the module's own analog output, as if wired back.
    static Source loopback();

    // Volts at time t (seconds); loopVolts is the module's analog output.
    double at(double t, double loopVolts);
};

}  // namespace tavo::sim
