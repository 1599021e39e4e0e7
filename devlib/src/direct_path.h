// SPDX-License-Identifier: LGPL-2.1-or-later
// The direct path: one routine per export, performing the operation on the
// printer port itself. Arguments are already narrowed to their documented
// widths; pointers are never null here (the exports check them).
#pragma once

#include <cstdint>

namespace tavo {

class DirectPath {
  public:
    virtual ~DirectPath() = default;

    // Digital input/output modules.
    virtual int16_t autodetectDigital(int16_t* port, int16_t* addr) = 0;
    virtual int16_t writeDigital(int16_t value, int16_t port, int16_t addr) = 0;
    virtual int16_t readDigital(int16_t port, int16_t addr) = 0;

    // 8-bit converter modules; c points to four outputs c0..c3.
    virtual int16_t autodetectAd8(int16_t* port, int16_t* addr) = 0;
    virtual int16_t setModeAd8(int16_t mode, int16_t port, int16_t addr) = 0;
    virtual int16_t readAd8(int16_t* c, int16_t port, int16_t addr) = 0;
    virtual int16_t writeAd8(int16_t value, int16_t port, int16_t addr) = 0;

    // Counter/alarm modules.
    virtual int16_t autodetectCounter(int16_t* port, int16_t* addr) = 0;
    virtual int16_t writeCount(int32_t count, int16_t port, int16_t addr) = 0;
    virtual int16_t stopCounting(int16_t port, int16_t addr) = 0;
    virtual int16_t startCounting(int16_t port, int16_t addr) = 0;
    virtual int16_t stopAlarm(int16_t port, int16_t addr) = 0;
    virtual int16_t startAlarm(int16_t port, int16_t addr) = 0;
    virtual int16_t writeAlarm(int32_t count, int16_t port, int16_t addr) = 0;
    virtual int32_t readCount(int16_t port, int16_t addr) = 0;
    virtual int32_t readAlarm(int16_t port, int16_t addr) = 0;
    virtual int16_t readRegister(int16_t reg, int16_t port, int16_t addr) = 0;

    // 12-bit converter modules; c points to four outputs c0..c3.
    virtual int16_t readAd12Block(int16_t* buffer, int16_t count, int32_t* elapsed, int16_t port,
                                  int16_t pos, int16_t channel) = 0;
    virtual int16_t writeAd12(int16_t value, int16_t port, int16_t pos) = 0;
    virtual int16_t readAd12(int16_t* c, int16_t port, int16_t pos, int16_t differential,
                             int16_t upper) = 0;
};

}  // namespace tavo
