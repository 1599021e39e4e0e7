// SPDX-License-Identifier: GPL-3.0-or-later
// The samples of the present sweep: rows 0..3 are CH 0..CH 3 in units,
// row 4 the analog output code. The five values of one sample lie together.
#pragma once

#include <cstddef>
#include <vector>

class SweepBuffer {
  public:
    static constexpr int kRows = 5;

    void resize(int samples) {
        data_.assign(static_cast<size_t>(samples < 0 ? 0 : samples) * kRows, 0.0f);
    }
    int samples() const { return static_cast<int>(data_.size() / kRows); }
    bool contains(int row, int sample) const {
        return row >= 0 && row < kRows && sample >= 0 && sample < samples();
    }
    float& at(int row, int sample) { return data_[index(row, sample)]; }
    float at(int row, int sample) const { return data_[index(row, sample)]; }

  private:
    static size_t index(int row, int sample) {
        return static_cast<size_t>(sample) * kRows + static_cast<size_t>(row);
    }
    std::vector<float> data_;
};
