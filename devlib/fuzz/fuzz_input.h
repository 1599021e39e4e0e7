// SPDX-License-Identifier: LGPL-2.1-or-later
// Takes the fuzzer's bytes in order; past the end everything reads as 0.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace fuzzing {

class Input {
  public:
    Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    bool empty() const { return pos_ >= size_; }

    template <typename T>
    T take() {
        T value{};
        const size_t n = size_ - pos_ < sizeof value ? size_ - pos_ : sizeof value;
        if (n) std::memcpy(&value, data_ + pos_, n);
        pos_ += n;
        return value;
    }

  private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

}  // namespace fuzzing
