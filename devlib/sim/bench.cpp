// SPDX-License-Identifier: LGPL-2.1-or-later
#include "bench.h"

#include <algorithm>

namespace tavo::sim {

namespace {
constexpr uint8_t kControlData = 0x02;   // bit 1: pulls the data line (12-bit clock) low
constexpr uint8_t kControlClock = 0x08;  // bit 3: pulls the clock line (12-bit data in) low
constexpr uint8_t kStatusData = 0x08;
constexpr uint8_t kStatusDout = 0x10;
// Unused inputs float high; bit 7 is the busy input, inverted by the port.
constexpr uint8_t kStatusConstant = 0x67;
constexpr uint8_t kStatusReleased = kStatusConstant | kStatusData | kStatusDout;

// Where, inside one I/O cycle, each kind of line change happens.
constexpr uint64_t kFallNs = 0;     // active pull-down: at once
constexpr uint64_t kReactNs = 100;  // chips answering an edge
constexpr uint64_t kRiseNs = 300;   // passive pull-up: later
constexpr uint64_t kSecondNs = 20;  // the second of two lines moving the same way

// Select lines of positions 0..2 on the data register.
constexpr uint8_t kConverterSelect[3] = {0x01, 0x04, 0x10};
constexpr uint8_t kOutputSelect[3] = {0x02, 0x08, 0x20};

bool inRange(int v, int count) {
    return v >= 0 && v < count;
}
}  // namespace

Bench::Bench() {
    for (size_t i = 0; i < ports_.size(); ++i) ports_[i].base = kBases[i];
}

Bench::~Bench() {
    // The closing time tells a viewer how long the last levels lasted; a
    // decoder needs it to finish the last byte.
    if (trace_) trace_->finish(std::max(traceCursorNs_, nowNs_) + kIoCycleNs);
}

bool Bench::isPortBase(uint16_t base) {
    return isPrinterPortBase(base);
}

Bench::Port& Bench::port(uint16_t base) {
    for (Port& p : ports_)
        if (p.base == base) return p;
    return ports_[0];
}

const Bench::Port& Bench::port(uint16_t base) const {
    for (const Port& p : ports_)
        if (p.base == base) return p;
    return ports_[0];
}

IoExpander* Bench::addDigital(uint16_t base, int addr) {
    if (!isPortBase(base) || !inRange(addr, 8)) return nullptr;
    Port& p = port(base);
    if (p.digital[addr]) return nullptr;
    auto chip = std::make_unique<IoExpander>();
    p.digital[addr] = chip.get();
    p.bus.attach(static_cast<uint8_t>(0x20 + addr), chip.get());
    p.populated = true;
    busChips_.push_back(std::move(chip));
    return p.digital[addr];
}

AdDa8* Bench::addAd8(uint16_t base, int addr, double fullScaleVolts) {
    if (!isPortBase(base) || !inRange(addr, 8)) return nullptr;
    Port& p = port(base);
    if (p.ad8[addr]) return nullptr;
    auto chip = std::make_unique<AdDa8>(clock_, fullScaleVolts);
    p.ad8[addr] = chip.get();
    p.bus.attach(static_cast<uint8_t>(0x48 + addr), chip.get());
    p.populated = true;
    busChips_.push_back(std::move(chip));
    return p.ad8[addr];
}

EventCounter* Bench::addCounter(uint16_t base, int addr) {
    if (!isPortBase(base) || !inRange(addr, 2)) return nullptr;
    Port& p = port(base);
    if (p.counter[addr]) return nullptr;
    auto chip = std::make_unique<EventCounter>(clock_);
    p.counter[addr] = chip.get();
    p.bus.attach(static_cast<uint8_t>(0x50 + addr), chip.get());
    p.populated = true;
    busChips_.push_back(std::move(chip));
    return p.counter[addr];
}

Ad12Module* Bench::addAd12(uint16_t base, int pos, double fullScaleVolts) {
    if (!isPortBase(base) || !inRange(pos, 3)) return nullptr;
    Port& p = port(base);
    if (p.ad12[pos]) return nullptr;
    auto module = std::make_unique<Ad12Module>(clock_, fullScaleVolts);
    // A module added to a port in use sees the select levels already there.
    module->converterSelect(!(p.data & kConverterSelect[pos]));
    module->outputSelect(!(p.data & kOutputSelect[pos]));
    p.ad12[pos] = module.get();
    p.populated = true;
    ad12Modules_.push_back(std::move(module));
    refreshDout(p, kReactNs);
    return p.ad12[pos];
}

IoExpander* Bench::digital(uint16_t base, int addr) const {
    return isPortBase(base) && inRange(addr, 8) ? port(base).digital[addr] : nullptr;
}
AdDa8* Bench::ad8(uint16_t base, int addr) const {
    return isPortBase(base) && inRange(addr, 8) ? port(base).ad8[addr] : nullptr;
}
EventCounter* Bench::counter(uint16_t base, int addr) const {
    return isPortBase(base) && inRange(addr, 2) ? port(base).counter[addr] : nullptr;
}
Ad12Module* Bench::ad12(uint16_t base, int pos) const {
    return isPortBase(base) && inRange(pos, 3) ? port(base).ad12[pos] : nullptr;
}

Bench::Port* Bench::portOf(uint16_t reg, unsigned* offset) {
    for (Port& p : ports_) {
        const unsigned off = static_cast<uint16_t>(reg - p.base);
        if (off < 3) {
            *offset = off;
            return &p;
        }
    }
    return nullptr;
}

void Bench::write(uint16_t reg, uint8_t value) {
    unsigned offset = 0;
    if (Port* p = portOf(reg, &offset)) {
        if (offset == 2)
            writeControl(*p, value);
        else if (offset == 0)
            writeData(*p, value);
    }
    nowNs_ += kIoCycleNs;
}

uint8_t Bench::read(uint16_t reg) {
    unsigned offset = 0;
    uint8_t value = 0xFF;  // nothing on the bus at that address
    if (const Port* p = portOf(reg, &offset)) {
        if (offset == 0)
            value = p->data;
        else if (offset == 2)
            value = p->control;
        else if (!p->populated)
            value = kStatusReleased;
        else
            value = static_cast<uint8_t>(kStatusConstant | (p->sda ? kStatusData : 0) |
                                         (p->dout ? kStatusDout : 0));
    }
    nowNs_ += kIoCycleNs;
    return value;
}

uint32_t Bench::tickMs() {
    if (trace_) trace_->flush();
    return static_cast<uint32_t>(nowNs_ / 1000000);
}

void Bench::writeControl(Port& p, uint8_t value) {
    p.control = value;
    const bool scl = !(value & kControlClock);
    const bool sda = !(value & kControlData);
    if (scl == p.masterScl && sda == p.masterSda) return;
    const uint32_t stopsBefore = p.bus.counts().stops;
    // Falls first, clock before data; then rises, data before clock.
    uint64_t fallAt = kFallNs;
    uint64_t riseAt = kRiseNs;
    if (!scl && p.masterScl) {
        p.masterScl = false;
        setScl(p, false, fallAt);
        fallAt += kSecondNs;
    }
    if (!sda && p.masterSda) {
        p.masterSda = false;
        refreshSda(p, fallAt);
    }
    if (sda && !p.masterSda) {
        p.masterSda = true;
        refreshSda(p, riseAt);
        riseAt += kSecondNs;
    }
    if (scl && !p.masterScl) {
        p.masterScl = true;
        setScl(p, true, riseAt);
    }
    if (trace_ && p.bus.counts().stops != stopsBefore) trace_->flush();
}

void Bench::writeData(Port& p, uint8_t value) {
    if (value == p.data) return;
    p.data = value;
    trace(p, VcdTrace::Sel, value, kFallNs);
    for (int pos = 0; pos < 3; ++pos) {
        if (Ad12Module* m = p.ad12[pos]) {
            m->converterSelect(!(value & kConverterSelect[pos]));
            m->outputSelect(!(value & kOutputSelect[pos]));
        }
    }
    refreshDout(p, kReactNs);
    if (trace_) trace_->flush();
}

void Bench::setScl(Port& p, bool level, uint64_t offsetNs) {
    p.scl = level;
    trace(p, VcdTrace::Scl, level, offsetNs);
    trace(p, VcdTrace::Din, level, offsetNs);
    p.bus.sclEdge(level, p.sda);
    // Chips put their answer on the data line right after the clock edge.
    refreshSda(p, offsetNs + kReactNs);
}

void Bench::refreshSda(Port& p, uint64_t offsetNs) {
    // Start and stop end every chip's drive, so a second pass settles the line.
    for (int pass = 0; pass < 2; ++pass) {
        const bool line = p.masterSda && p.bus.sdaOut();
        if (line == p.sda) return;
        p.sda = line;
        trace(p, VcdTrace::Sda, line, offsetNs);
        trace(p, VcdTrace::Clk, line, offsetNs);
        p.bus.sdaEdge(line, p.scl);
        bool any = false;
        for (Ad12Module* m : p.ad12) {
            if (!m) continue;
            m->clockEdge(line, p.scl);
            any = true;
        }
        if (any) refreshDout(p, offsetNs + kReactNs);
    }
}

void Bench::refreshDout(Port& p, uint64_t offsetNs) {
    bool level = true;
    for (const Ad12Module* m : p.ad12)
        if (m) level = level && m->dataOut();
    if (level == p.dout) return;
    p.dout = level;
    trace(p, VcdTrace::Dout, level, offsetNs);
}

void Bench::trace(const Port& p, VcdTrace::Signal signal, uint8_t value, uint64_t offsetNs) {
    if (!trace_) return;
    traceCursorNs_ = std::max(traceCursorNs_, nowNs_ + offsetNs);
    trace_->change(indexOf(p), signal, value, traceCursorNs_);
}

bool Bench::openTrace(const std::string& path, std::string* error) {
    auto file = std::make_unique<VcdTrace>();
    uint16_t bases[3];
    bool shown[3];
    uint8_t levels[3][VcdTrace::SignalCount];
    for (size_t i = 0; i < ports_.size(); ++i) {
        const Port& p = ports_[i];
        bases[i] = p.base;
        shown[i] = p.populated;  // a port with nothing on it only adds noise
        levels[i][VcdTrace::Scl] = p.scl;
        levels[i][VcdTrace::Sda] = p.sda;
        levels[i][VcdTrace::Clk] = p.sda;
        levels[i][VcdTrace::Din] = p.scl;
        levels[i][VcdTrace::Dout] = p.dout;
        levels[i][VcdTrace::Sel] = p.data;
    }
    traceCursorNs_ = nowNs_;
    if (!file->open(path, bases, shown, 3, levels, nowNs_, error)) return false;
    trace_ = std::move(file);
    return true;
}

void Bench::flushTrace() {
    if (trace_) trace_->flush();
}

}  // namespace tavo::sim
