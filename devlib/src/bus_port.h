// SPDX-License-Identifier: LGPL-2.1-or-later
// The port as the bus engine sees it: the three registers of the base set
// by the last operation, the register last addressed (delays re-read it),
// and the bus timing shared by the two-wire bus and the 12-bit scheme.
#pragma once

#include <cstdint>

#include "port/port_io.h"

namespace tavo {

class BusPort {
  public:
    explicit BusPort(PortIo& io) : io_(io) {}

    PortIo& io() { return io_; }

    // Every operation points the registers at its base before it touches
    // the port; nothing is checked here.
    void setBase(uint16_t base) {
        data_ = base;
        status_ = static_cast<uint16_t>(base + 1);
        control_ = static_cast<uint16_t>(base + 2);
    }
    uint16_t dataRegister() const { return data_; }

    void writeControl(uint8_t value) {
        io_.write(control_, value);
        last_ = control_;
    }
    void writeData(uint8_t value) {
        io_.write(data_, value);
        last_ = data_;
    }
    uint8_t readStatus() {
        last_ = status_;
        return io_.read(status_);
    }

    // A delay of n is n reads of whichever register was addressed last;
    // there is no clock fine enough, so the port's own I/O cycle is the unit.
    void delay(int16_t n) {
        for (int16_t i = 0; i < n; ++i) io_.read(last_);
    }

    // Two-wire bus line change: the value twice, then the long delay.
    void setLines(uint8_t value) {
        writeControl(value);
        writeControl(value);
        delay(delayLong);
    }

    int16_t delayLong = 0;
    int16_t delayShort = 0;
    bool calibrated = false;

  private:
    PortIo& io_;
    uint16_t data_ = 0;
    uint16_t status_ = 1;
    uint16_t control_ = 2;
    uint16_t last_ = 2;
};

}  // namespace tavo
