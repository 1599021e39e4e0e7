// SPDX-License-Identifier: LGPL-2.1-or-later
#include "ad12_module.h"

#include "converter_code.h"

namespace tavo::sim {

void Ad12Module::setInput(int index, const Source& source) {
    if (index >= 0 && index < static_cast<int>(inputs_.size())) inputs_[index] = source;
}

void Ad12Module::converterSelect(bool asserted) {
    if (asserted == adSelected_) return;
    adSelected_ = asserted;
    adBits_ = 0;
    command_ = 0;
    shiftOut_ = result_;
    dataOut_ = asserted ? (shiftOut_ & 0x800) != 0 : true;
}

void Ad12Module::outputSelect(bool asserted) {
    if (asserted == daSelected_) return;
    daSelected_ = asserted;
    if (!asserted) dac_ = daShift_;
}

void Ad12Module::clockEdge(bool rising, bool dataIn) {
    if (daSelected_ && rising)
        daShift_ = static_cast<uint16_t>(((daShift_ << 1) | (dataIn ? 1 : 0)) & 0xFFF);
    if (!adSelected_) return;
    if (rising) {
        if (adBits_ < 12) {
            command_ = static_cast<uint16_t>((command_ << 1) | (dataIn ? 1 : 0));
            ++adBits_;
        }
        return;
    }
    if (adBits_ == 0) return;  // a falling clock before the first bit
    if (adBits_ < 12) {
        dataOut_ = ((shiftOut_ >> (11 - adBits_)) & 1) != 0;
        return;
    }
    result_ = convert((command_ >> 8) & 0x0F);
    shiftOut_ = result_;
    adBits_ = 0;
    command_ = 0;
    dataOut_ = (shiftOut_ & 0x800) != 0;
}

uint16_t Ad12Module::convert(int code) {
    if (code <= 10) {
        const double volts = inputs_[code].at(clock_.seconds(), outputVolts());
        return static_cast<uint16_t>(converterCode(volts, fullScale_, 4096, 0, 4095));
    }
    switch (code) {
        case 11:
            return 0x800;
        case 12:
            return 0x000;
        case 13:
            return 0xFFF;
        default:
            return 0;
    }
}

}  // namespace tavo::sim
