// SPDX-License-Identifier: LGPL-2.1-or-later
#include "event_counter.h"

#include <cmath>

namespace tavo::sim {

namespace {
constexpr uint32_t kModulus = 1000000;     // six BCD digits
constexpr double kSaturatedEvents = 1e15;  // whole multiple of kModulus, exact in a double

uint8_t bcdByte(uint32_t twoDigits) {
    return static_cast<uint8_t>(((twoDigits / 10) << 4) | (twoDigits % 10));
}
}  // namespace

EventCounter::EventCounter(const SourceClock& clock)
    : clock_(clock), lastSeconds_(clock.seconds()) {}

bool EventCounter::counting() const {
    const uint8_t control = regs_[kControl];
    return (control & kFunctionMask) == kEventMode && !(control & kStop);
}

void EventCounter::setRate(double eventsPerSecond) {
    catchUp();
    rate_ = eventsPerSecond > 0.0 ? eventsPerSecond : 0.0;
}

void EventCounter::catchUp() {
    const double now = clock_.seconds();
    const double elapsed = now - lastSeconds_;
    lastSeconds_ = now;
    if (!counting() || rate_ <= 0.0 || elapsed <= 0.0) return;
    fraction_ += elapsed * rate_;
    // An absurd rate saturates: more events than the counter could ever
    // tell apart are counted as that many, and nothing is carried over.
    if (!(fraction_ < kSaturatedEvents)) {
        fraction_ = 0.0;
        countEvents(static_cast<uint64_t>(kSaturatedEvents));
        return;
    }
    // The bias keeps a whole number of events from losing one to rounding.
    const double whole = std::floor(fraction_ + 1e-9);
    fraction_ -= whole;
    countEvents(static_cast<uint64_t>(whole));
}

void EventCounter::addEvents(uint32_t events) {
    catchUp();
    if (counting()) countEvents(events);
}

void EventCounter::countEvents(uint64_t events) {
    if (events == 0) return;
    if (regs_[kControl] & kHold)
        heldEvents_ += events;
    else
        applyEvents(events);
}

void EventCounter::applyEvents(uint64_t events) {
    const uint32_t before = bcdValue(kCount) % kModulus;
    const uint32_t step = static_cast<uint32_t>(events % kModulus);
    const uint32_t after = (before + step) % kModulus;
    regs_[kCount] = bcdByte(after % 100);
    regs_[kCount + 1] = bcdByte(after / 100 % 100);
    regs_[kCount + 2] = bcdByte(after / 10000);
    // The alarm flag rises when the count passes the alarm count.
    if ((regs_[kControl] & kAlarmEnable) &&
        (regs_[kAlarmControl] & kAlarmFunctionMask) == kEventAlarm) {
        const uint32_t alarm = bcdValue(kAlarmCount) % kModulus;
        const uint32_t distance = (alarm + kModulus - before) % kModulus;
        if (events >= kModulus || (distance != 0 && distance <= step))
            regs_[kControl] |= kAlarmFlag;
    }
}

// Nibbles above 9 count with their own value, as a BCD counter fed bad
// digits would: the result is only meaningful for proper BCD.
uint32_t EventCounter::bcdValue(uint8_t first) const {
    uint32_t value = 0;
    for (int i = 2; i >= 0; --i) {
        const uint8_t b = regs_[first + i];
        value = (value * 10 + (b >> 4)) * 10 + (b & 0x0F);
    }
    return value;
}

uint32_t EventCounter::count() {
    catchUp();
    return bcdValue(kCount);
}

uint8_t EventCounter::reg(uint8_t index) {
    catchUp();
    return regs_[index];
}

void EventCounter::writeReg(uint8_t index, uint8_t value) {
    catchUp();
    if (index != kControl) {
        regs_[index] = value;
        return;
    }
    const bool wasHeld = regs_[kControl] & kHold;
    regs_[kControl] = value;
    if (wasHeld && !(value & kHold) && heldEvents_) {
        const uint64_t held = heldEvents_;
        heldEvents_ = 0;
        applyEvents(held);
    }
}

void EventCounter::begin(bool read) {
    pointerNext_ = !read;
}

bool EventCounter::receive(uint8_t byte) {
    if (pointerNext_) {
        pointerNext_ = false;
        pointer_ = byte;
    } else {
        writeReg(pointer_++, byte);
    }
    return true;
}

uint8_t EventCounter::transmit() {
    return reg(pointer_++);
}

}  // namespace tavo::sim
