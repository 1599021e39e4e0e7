// SPDX-License-Identifier: LGPL-2.1-or-later
#include "i2c_decoder.h"

namespace tavo::sim {

void I2cDecoder::sdaEdge(bool sda, bool scl) {
    if (!scl) return;  // data may change freely while the clock is low
    if (sda)
        stop();
    else
        start();
}

void I2cDecoder::sclEdge(bool scl, bool sda) {
    if (scl)
        clockRise(sda);
    else
        clockFall();
}

void I2cDecoder::start() {
    ++counts_.starts;
    if (state_ != State::Idle) ++counts_.repeatedStarts;
    if (active_) active_->end();
    active_ = nullptr;
    state_ = State::Address;
    shift_ = 0;
    bits_ = 0;
    sdaOut_ = true;
}

void I2cDecoder::stop() {
    ++counts_.stops;
    if (active_) active_->end();
    active_ = nullptr;
    state_ = State::Idle;
    sdaOut_ = true;
}

void I2cDecoder::clockRise(bool sda) {
    switch (state_) {
        case State::Address:
        case State::Receive:
            if (bits_ < 8) {
                shift_ = static_cast<uint8_t>((shift_ << 1) | (sda ? 1 : 0));
                ++bits_;
            }
            break;
        case State::Transmit:
            ++bits_;  // the master samples the bit now on the line
            break;
        case State::TransmitAck:
            masterAck_ = !sda;
            break;
        default:
            break;
    }
}

// Chips change the data line only while the clock is low, i.e. right after
// its falling edge: that is where every answer below is put on the line.
void I2cDecoder::clockFall() {
    switch (state_) {
        case State::Address: {
            if (bits_ < 8) break;
            BusChip* chip = chips_[shift_ >> 1];
            if (!chip) {
                state_ = State::Ignore;
                break;
            }
            active_ = chip;
            read_ = (shift_ & 1) != 0;
            active_->begin(read_);
            sdaOut_ = false;
            state_ = State::AddressAck;
            break;
        }
        case State::AddressAck:
            if (read_) {
                beginTransmitByte();
            } else {
                sdaOut_ = true;
                shift_ = 0;
                bits_ = 0;
                state_ = State::Receive;
            }
            break;
        case State::Receive:
            if (bits_ < 8) break;
            ++counts_.bytes;
            sdaOut_ = !active_->receive(shift_);
            state_ = State::ReceiveAck;
            break;
        case State::ReceiveAck:
            sdaOut_ = true;
            shift_ = 0;
            bits_ = 0;
            state_ = State::Receive;
            break;
        case State::Transmit:
            if (bits_ < 8) {
                sdaOut_ = ((shift_ >> (7 - bits_)) & 1) != 0;
            } else {
                sdaOut_ = true;  // let the master acknowledge
                masterAck_ = false;
                state_ = State::TransmitAck;
            }
            break;
        case State::TransmitAck:
            if (masterAck_)
                beginTransmitByte();
            else
                state_ = State::Ignore;  // last byte: the master ends with a stop
            break;
        case State::Idle:
        case State::Ignore:
            break;
    }
}

void I2cDecoder::beginTransmitByte() {
    ++counts_.bytes;
    shift_ = active_->transmit();
    bits_ = 0;
    sdaOut_ = (shift_ & 0x80) != 0;
    state_ = State::Transmit;
}

}  // namespace tavo::sim
