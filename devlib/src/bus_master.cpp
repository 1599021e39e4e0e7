// SPDX-License-Identifier: LGPL-2.1-or-later
// The direct-path engine: argument checks, port selection and calibration
// in front of the family sequences. One engine holds all of the bus state
// (register addresses, delays, calibrated flag, converter tables, 12-bit
// select pair), so a fresh engine starts as a freshly loaded library.
#include "bus_master.h"

#include "bus_modules.h"
#include "bus_primitives.h"
#include "converter12.h"

namespace tavo {
namespace {

constexpr int16_t kFail = -1;
class BusMaster final : public DirectPath {
  public:
    explicit BusMaster(PortIo& io) : bus_(io) {}

    int16_t autodetectDigital(int16_t* port, int16_t* addr) override {
        return autodetect(kDigitalFamily, port, addr);
    }
    int16_t writeDigital(int16_t value, int16_t port, int16_t addr) override {
        if (!begin(port)) return kFail;
        return digitalWrite(bus_, addr, static_cast<uint8_t>(value));
    }
    int16_t readDigital(int16_t port, int16_t addr) override {
        if (!begin(port)) return kFail;
        return digitalRead(bus_, addr);
    }

    int16_t autodetectAd8(int16_t* port, int16_t* addr) override {
        return autodetect(kAd8Family, port, addr);
    }
    int16_t setModeAd8(int16_t mode, int16_t port, int16_t addr) override {
        // The tables have eight rows and the control byte four modes.
        if (!ad8AddressValid(addr) || mode < 0 || mode > 3 || !begin(port)) return kFail;
        return ad8SetMode(bus_, tables_, mode, addr);
    }
    int16_t readAd8(int16_t* c, int16_t port, int16_t addr) override {
        if (!ad8AddressValid(addr) || !begin(port)) return kFail;
        return ad8Read(bus_, tables_, c, addr);
    }
    int16_t writeAd8(int16_t value, int16_t port, int16_t addr) override {
        if (!ad8AddressValid(addr) || !begin(port)) return kFail;
        return ad8Write(bus_, tables_, static_cast<uint8_t>(value), addr);
    }

    int16_t autodetectCounter(int16_t* port, int16_t* addr) override {
        return autodetect(kCounterFamily, port, addr);
    }
    int16_t writeCount(int32_t count, int16_t port, int16_t addr) override {
        if (count < 0 || !begin(port)) return kFail;
        return counterWriteBcd(bus_, addr, kCounterCount, count);
    }
    int16_t stopCounting(int16_t port, int16_t addr) override {
        if (!begin(port)) return kFail;
        return counterStop(bus_, addr);
    }
    int16_t startCounting(int16_t port, int16_t addr) override {
        if (!begin(port)) return kFail;
        return counterStart(bus_, addr);
    }
    int16_t stopAlarm(int16_t port, int16_t addr) override {
        if (!begin(port)) return kFail;
        return counterAlarmSetup(bus_, addr);
    }
    int16_t startAlarm(int16_t port, int16_t addr) override { return stopAlarm(port, addr); }
    int16_t writeAlarm(int32_t count, int16_t port, int16_t addr) override {
        if (count < 0 || !begin(port)) return kFail;
        return counterWriteBcd(bus_, addr, kCounterAlarmCount, count);
    }
    int32_t readCount(int16_t port, int16_t addr) override {
        if (!begin(port)) return kFail;
        return counterReadBcd(bus_, addr, kCounterCount);
    }
    int32_t readAlarm(int16_t port, int16_t addr) override {
        if (!begin(port)) return kFail;
        return counterReadBcd(bus_, addr, kCounterAlarmCount);
    }
    int16_t readRegister(int16_t reg, int16_t port, int16_t addr) override {
        if (!begin(port)) return kFail;
        return counterReadRegister(bus_, addr, static_cast<uint8_t>(reg));
    }

    int16_t readAd12Block(int16_t* buffer, int16_t count, int32_t* elapsed, int16_t port,
                          int16_t pos, int16_t channel) override {
        if (!begin12(port, pos)) return kFail;
        // Uses the delays as they stand: no calibration here.
        const uint32_t start = bus_.io().tickMs();
        const auto command = static_cast<uint16_t>((channel & 0x0F) << 12);
        for (int16_t i = 0; i < count; ++i) {
            buffer[i] = static_cast<int16_t>(converter_.converterTransfer(bus_, command));
        }
        converter_.endSelect(bus_);
        *elapsed = static_cast<int32_t>(bus_.io().tickMs() - start);
        return 0;
    }
    int16_t writeAd12(int16_t value, int16_t port, int16_t pos) override {
        if (!begin12(port, pos)) return kFail;
        calibrateThroughDigitalRead(port);
        converter_.outputTransfer(bus_, static_cast<uint16_t>(value));
        return 0;
    }
    int16_t readAd12(int16_t* c, int16_t port, int16_t pos, int16_t differential,
                     int16_t upper) override {
        if (!begin12(port, pos)) return kFail;
        calibrateThroughDigitalRead(port);
        if (differential == 0) {
            converter_.readBlock(bus_, upper != 0, c);
            return 0;
        }
        int16_t t[4];
        converter_.readBlock(bus_, false, c);
        converter_.readBlock(bus_, true, t);
        c[0] = static_cast<int16_t>(c[0] - c[1]);
        c[1] = static_cast<int16_t>(c[2] - c[3]);
        c[2] = static_cast<int16_t>(t[0] - t[1]);
        c[3] = static_cast<int16_t>(t[2] - t[3]);
        return 0;
    }

  private:
    static bool ad8AddressValid(int16_t addr) { return addr >= 0 && addr < 8; }

    // Common entry of the two-wire operations: port 0 and unreachable ports
    // fail before any register is touched; the first operation calibrates.
    bool begin(int16_t port) {
        const auto base = static_cast<uint16_t>(port);
        if (port == 0 || !bus_.io().available(base)) return false;
        bus_.setBase(base);
        if (!bus_.calibrated) calibrateBusDelay(bus_);
        return true;
    }

    // The 12-bit family takes port as it comes; only a port the backend
    // cannot reach is refused.
    bool begin12(int16_t port, int16_t pos) {
        const auto base = static_cast<uint16_t>(port);
        if (!bus_.io().available(base)) return false;
        bus_.setBase(base);
        converter_.choosePosition(pos);
        return true;
    }

    // The 12-bit scheme borrows the two-wire bus timing; a digital read at
    // address 0 is what calibrates it when nothing has yet. Its result does
    // not matter (there need not be a digital module at all).
    void calibrateThroughDigitalRead(int16_t port) {
        if (!bus_.calibrated) (void)readDigital(port, 0);
    }

    int16_t autodetect(BusFamily family, int16_t* port, int16_t* addr) {
        if (*addr < 0 || *addr >= family.addressCount) return kFail;
        if (family.busAddress == kCounterFamily.busAddress) bus_.calibrated = false;
        const uint16_t* bases = kPrinterPortBases.data();
        int baseCount = 3;
        const auto own = static_cast<uint16_t>(*port);
        if (*port != 0) {
            bases = &own;
            baseCount = 1;
        }
        for (int i = 0; i < baseCount; ++i) {
            if (!bus_.io().available(bases[i])) continue;
            bus_.setBase(bases[i]);
            int16_t a = *addr;
            if (probeBase(bus_, family, &a) == 0) {
                *port = static_cast<int16_t>(bases[i]);
                *addr = a;
                return 0;
            }
        }
        return kFail;
    }

    BusPort bus_;
    Ad8Tables tables_;
    Converter12 converter_;
};

}  // namespace

std::unique_ptr<DirectPath> makeBusMaster(PortIo& port) {
    return std::make_unique<BusMaster>(port);
}

}  // namespace tavo
