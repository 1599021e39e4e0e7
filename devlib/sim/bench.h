// SPDX-License-Identifier: LGPL-2.1-or-later
// The simulated bench: the three printer ports (378H, 278H, 3BCH) modelled at
// line level, with the modules attached to them. It is a PortIo, so the bus
// master drives it exactly as it drives a real port.
//
// Wiring of each port (the port inverts control bits 1 and 3, so a 1 there
// pulls its line low and a 0 releases it to the pull-up):
//   control bit 1  two-wire data line (sda), also the 12-bit modules' clock
//   control bit 3  two-wire clock line (scl), also the 12-bit modules' data in
//   status bit 3   the data line as it is: master AND every chip (wired AND)
//   status bit 4   the 12-bit modules' data out (high when none drives it)
//   data register  12-bit select lines, active low: position p has its
//                  converter select on bit 2p and its output select on bit 2p+1
// Other status bits read constant levels (bits 0-2, 5, 6 high; bit 7, the
// inverted busy input, 0). A port without modules reads released lines.
//
// When one control write moves both lines, a line being pulled low falls at
// once and a released line rises a little later (the pull-up is slower than
// the driver): a data fall together with a clock rise is a data bit, never a
// start. Two lines moving the same way in one write never make a start or
// stop either: on a fall the clock goes first, on a rise the data.
//
// Every port access advances the virtual clock by one I/O cycle; tickMs()
// reads that clock, so timing calibration gives the same counts everywhere.
//
// Typical test use:
//   Bench bench;
//   bench.useVirtualTimeForSources();
//   AdDa8* ad = bench.addAd8(0x378, 0);
//   ad->setInput(0, Source::constant(1.0));
//   ... drive bench.write()/read() or hand `bench` to the bus master ...
//   EXPECT_EQ(ad->dac(), 0x80);
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ad12_module.h"
#include "adda8.h"
#include "event_counter.h"
#include "i2c_decoder.h"
#include "io_expander.h"
#include "source.h"
#include "src/port/port_io.h"
#include "vcd_trace.h"

namespace tavo::sim {

class Bench final : public PortIo {
  public:
    static constexpr uint64_t kIoCycleNs = 1000;
    static constexpr std::array<uint16_t, 3> kBases = kPrinterPortBases;

    Bench();
    ~Bench() override;
    Bench(const Bench&) = delete;
    Bench& operator=(const Bench&) = delete;

    static bool isPortBase(uint16_t base);

    // Building. Null when the base is not a port base, the address or
    // position is out of range (0..7, 0..7, 0..1, 0..2) or already taken.
    // The bench owns the modules; the pointers live as long as the bench.
    // A counter added here starts as the chip powers up (control 0x00, clock
    // mode, counting nothing); bench files start theirs counting.
    IoExpander* addDigital(uint16_t base, int addr);
    AdDa8* addAd8(uint16_t base, int addr, double fullScaleVolts = 2.5);
    EventCounter* addCounter(uint16_t base, int addr);
    Ad12Module* addAd12(uint16_t base, int pos, double fullScaleVolts = 5.0);

    // Finding modules again (back doors); null when there is none.
    IoExpander* digital(uint16_t base, int addr) const;
    AdDa8* ad8(uint16_t base, int addr) const;
    EventCounter* counter(uint16_t base, int addr) const;
    Ad12Module* ad12(uint16_t base, int pos) const;

    // PortIo.
    void write(uint16_t reg, uint8_t value) override;
    uint8_t read(uint16_t reg) override;
    uint32_t tickMs() override;

    // Virtual clock: kIoCycleNs per port access since the bench was built.
    uint64_t nowNs() const { return nowNs_; }
    uint64_t accesses() const { return nowNs_ / kIoCycleNs; }
    // Sources and counter rates follow the virtual clock instead of wall
    // time, for repeatable tests.
    void useVirtualTimeForSources() { clock_.useVirtualTime(&nowNs_); }
    const SourceClock& sourceClock() const { return clock_; }

    // Registers and lines of a port base (back doors; base must be a port base).
    uint8_t dataRegister(uint16_t base) const { return port(base).data; }
    uint8_t controlRegister(uint16_t base) const { return port(base).control; }
    bool sclLine(uint16_t base) const { return port(base).scl; }
    bool sdaLine(uint16_t base) const { return port(base).sda; }
    bool doutLine(uint16_t base) const { return port(base).dout; }
    const I2cDecoder& bus(uint16_t base) const { return port(base).bus; }

    // Bus trace: writes the line levels from now on to a VCD file. False and
    // a message when the file cannot be written. The file is flushed at every
    // stop condition, select change and tickMs(), and when the bench goes.
    bool openTrace(const std::string& path, std::string* error);
    void flushTrace();

  private:
    struct Port {
        uint16_t base = 0;
        bool populated = false;
        uint8_t data = 0xFF;
        uint8_t control = 0x04;  // both lines released
        bool masterScl = true;
        bool masterSda = true;
        bool scl = true;
        bool sda = true;
        bool dout = true;
        I2cDecoder bus;
        std::array<IoExpander*, 8> digital{};
        std::array<AdDa8*, 8> ad8{};
        std::array<EventCounter*, 2> counter{};
        std::array<Ad12Module*, 3> ad12{};
    };

    Port& port(uint16_t base);
    const Port& port(uint16_t base) const;
    Port* portOf(uint16_t reg, unsigned* offset);
    int indexOf(const Port& p) const { return static_cast<int>(&p - ports_.data()); }

    void writeControl(Port& p, uint8_t value);
    void writeData(Port& p, uint8_t value);
    void setScl(Port& p, bool level, uint64_t offsetNs);
    void refreshSda(Port& p, uint64_t offsetNs);
    void refreshDout(Port& p, uint64_t offsetNs);
    void trace(const Port& p, VcdTrace::Signal signal, uint8_t value, uint64_t offsetNs);

    std::array<Port, 3> ports_;
    uint64_t nowNs_ = 0;
    uint64_t traceCursorNs_ = 0;
    SourceClock clock_;
    std::unique_ptr<VcdTrace> trace_;
    std::vector<std::unique_ptr<BusChip>> busChips_;
    std::vector<std::unique_ptr<Ad12Module>> ad12Modules_;
};

}  // namespace tavo::sim
