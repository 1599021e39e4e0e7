// SPDX-License-Identifier: GPL-3.0-or-later
// The generator's steps as the acquisition thread plays them: a copy of the
// table taken when playback starts, the entry due next and the code the
// output holds, so a step needs nothing of the window thread.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

// What one step did, handed to the window thread.
struct PlaybackStep {
    unsigned generation = 0;
    int nextIndex = 1;  // WaveIndex after the step
    int16_t code = 0;   // the entry played
    bool written = false;
    double lateness = 0.0;      // seconds past the step's due time
    std::optional<int> passMs;  // the pass that this step ended, whole ms
    bool ended = false;         // a one-shot table played its last entry
};

class PlaybackSteps {
  public:
    // entries: the table's entries 1 to WaveLength, each already within the
    // output's range. held: the code the output holds now. start: when the
    // first pass began, in seconds.
    PlaybackSteps(std::vector<int16_t> entries, bool oneShot, int16_t held, double start);

    // The step taken at now (seconds): the entry goes to the output unless
    // the output already holds it.
    PlaybackStep step(double now);

  private:
    std::vector<int16_t> entries_;
    bool oneShot_;
    int16_t held_;
    double passStart_;
    size_t index_ = 0;
};
