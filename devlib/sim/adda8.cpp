// SPDX-License-Identifier: LGPL-2.1-or-later
#include "adda8.h"

#include "converter_code.h"

namespace tavo::sim {

int AdDa8::channelCount(uint8_t control) {
    switch ((control >> 4) & 3) {
        case 0:
            return 4;
        case 3:
            return 2;
        default:
            return 3;
    }
}

double AdDa8::outputVolts() const {
    // With the output disabled the pin floats; a loop-back wire then reads 0 V.
    return (control_ & kOutputEnable) ? dac_ * fullScale_ / 256.0 : 0.0;
}

void AdDa8::begin(bool read) {
    controlNext_ = !read;
}

bool AdDa8::receive(uint8_t byte) {
    if (controlNext_) {
        controlNext_ = false;
        control_ = byte;
        channel_ = byte & 3;
    } else {
        dac_ = byte;
    }
    return true;
}

uint8_t AdDa8::transmit() {
    const uint8_t previous = lastConversion_;
    lastConversion_ = convert(channel_);
    if (control_ & kAutoIncrement) channel_ = (channel_ + 1) % channelCount(control_);
    return previous;
}

uint8_t AdDa8::convert(int channel) {
    const double t = clock_.seconds();
    const double loop = outputVolts();
    auto in = [&](int i) { return inputs_[i].at(t, loop); };
    auto single = [&](int i) {
        return static_cast<uint8_t>(converterCode(in(i), fullScale_, 256, 0, 255));
    };
    // Differential results are two's complement, -128..127.
    auto diff = [&](int p, int n) {
        return static_cast<uint8_t>(converterCode(in(p)-in(n), fullScale_, 256, -128, 127));
    };
    // The chip's channel counter runs modulo the mode's count, and so does a
    // channel number past it: in modes 1 and 2 a "channel 3" converts channel 0.
    channel %= channelCount(control_);
    switch ((control_ >> 4) & 3) {
        case 0:
            return single(channel);
        case 1:  // three inputs against AIN3
            return diff(channel, 3);
        case 2:  // AIN0, AIN1 single-ended, AIN2 against AIN3
            return channel < 2 ? single(channel) : diff(2, 3);
        default:  // AIN0 against AIN1, AIN2 against AIN3
            return diff(2 * channel, 2 * channel + 1);
    }
}

}  // namespace tavo::sim
