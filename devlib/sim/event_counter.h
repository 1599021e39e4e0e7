// SPDX-License-Identifier: LGPL-2.1-or-later
// Counter/alarm chip in event-counter mode (bus address 0x50 + a): 256 byte
// registers behind a pointer that a write transfer sets with its first byte
// and that advances after every data byte, read or written.
//   0x00 control/status: bit 7 stop, bit 6 hold, bits 5-4 function
//        (10 = event counter), bit 2 alarm enable, bit 1 alarm flag
//   0x01..0x03 count, six BCD digits, least significant pair first
//   0x08 alarm control (bits 5-4 = 01: event alarm)
//   0x09..0x0B alarm count, same layout
// Events come at a rate from a source; the count is brought up to date from
// the source clock only when the registers are touched, not per port access.
// While held, events keep coming in but the count registers stay frozen
// until the hold is released.
#pragma once

#include <array>
#include <cstdint>

#include "bus_chip.h"
#include "source.h"

namespace tavo::sim {

class EventCounter final : public BusChip {
  public:
    // Register numbers, as the pointer takes them. A count is three bytes
    // from its first register on.
    enum Register : uint8_t {
        kControl = 0x00,
        kCount = 0x01,
        kAlarmControl = 0x08,
        kAlarmCount = 0x09,
    };
    // Control/status bits.
    static constexpr uint8_t kStop = 0x80;
    static constexpr uint8_t kHold = 0x40;
    static constexpr uint8_t kFunctionMask = 0x30;
    static constexpr uint8_t kEventMode = 0x20;
    static constexpr uint8_t kAlarmEnable = 0x04;
    static constexpr uint8_t kAlarmFlag = 0x02;
    // Alarm control bits 5-4 = 01: the alarm compares event counts.
    static constexpr uint8_t kAlarmFunctionMask = 0x30;
    static constexpr uint8_t kEventAlarm = 0x10;

    explicit EventCounter(const SourceClock& clock);

    // Back doors.
    void setRate(double eventsPerSecond);
    double rate() const { return rate_; }
    // Pulses on the event input now (counted only when counting is on).
    void addEvents(uint32_t events);
    uint8_t reg(uint8_t index);  // brought up to date first
    void setReg(uint8_t index, uint8_t value) { writeReg(index, value); }
    uint32_t count();  // 0..999999 when the registers hold BCD
    uint32_t alarmCount() const { return bcdValue(kAlarmCount); }
    uint8_t pointer() const { return pointer_; }

    void begin(bool read) override;
    bool receive(uint8_t byte) override;
    uint8_t transmit() override;

  private:
    bool counting() const;
    void catchUp();
    void countEvents(uint64_t events);
    void applyEvents(uint64_t events);
    void writeReg(uint8_t index, uint8_t value);
    uint32_t bcdValue(uint8_t first) const;

    const SourceClock& clock_;
    std::array<uint8_t, 256> regs_{};
    uint8_t pointer_ = 0;
    bool pointerNext_ = false;
    double rate_ = 0.0;
    double lastSeconds_ = 0.0;
    double fraction_ = 0.0;    // events begun but not yet whole
    uint64_t heldEvents_ = 0;  // counted while the hold bit froze the registers
};

}  // namespace tavo::sim
