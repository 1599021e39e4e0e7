// SPDX-License-Identifier: LGPL-2.1-or-later
#include "io_expander.h"

namespace tavo::sim {

void IoExpander::setInputs(uint8_t inputs) {
    setInputSequence({inputs});
}

void IoExpander::setInputSequence(std::initializer_list<uint8_t> values) {
    count_ = 0;
    for (uint8_t v : values) {
        if (count_ == inputs_.size()) break;
        inputs_[count_++] = v;
    }
    if (count_ == 0) inputs_[count_++] = 0xFF;
    next_ = 0;
}

bool IoExpander::receive(uint8_t byte) {
    latch_ = byte;
    return true;
}

uint8_t IoExpander::transmit() {
    const uint8_t value = latch_ & inputs_[next_];
    if (next_ + 1 < count_) ++next_;
    return value;
}

}  // namespace tavo::sim
