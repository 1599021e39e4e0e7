// Placeholder engine until the bus master lands: every operation fails.
#include "bus_master.h"

namespace tavo {
namespace {

class NoEngine final : public DirectPath {
public:
    int16_t autodetectDigital(int16_t*, int16_t*) override { return -1; }
    int16_t writeDigital(int16_t, int16_t, int16_t) override { return -1; }
    int16_t readDigital(int16_t, int16_t) override { return -1; }
    int16_t autodetectAd8(int16_t*, int16_t*) override { return -1; }
    int16_t setModeAd8(int16_t, int16_t, int16_t) override { return -1; }
    int16_t readAd8(int16_t*, int16_t, int16_t) override { return -1; }
    int16_t writeAd8(int16_t, int16_t, int16_t) override { return -1; }
    int16_t autodetectCounter(int16_t*, int16_t*) override { return -1; }
    int16_t writeCount(int32_t, int16_t, int16_t) override { return -1; }
    int16_t stopCounting(int16_t, int16_t) override { return -1; }
    int16_t startCounting(int16_t, int16_t) override { return -1; }
    int16_t stopAlarm(int16_t, int16_t) override { return -1; }
    int16_t startAlarm(int16_t, int16_t) override { return -1; }
    int16_t writeAlarm(int32_t, int16_t, int16_t) override { return -1; }
    int32_t readCount(int16_t, int16_t) override { return -1; }
    int32_t readAlarm(int16_t, int16_t) override { return -1; }
    int16_t readRegister(int16_t, int16_t, int16_t) override { return -1; }
    int16_t readAd12Block(int16_t*, int16_t, int32_t*, int16_t, int16_t, int16_t) override {
        return -1;
    }
    int16_t writeAd12(int16_t, int16_t, int16_t) override { return -1; }
    int16_t readAd12(int16_t*, int16_t, int16_t, int16_t, int16_t) override { return -1; }
};

}  // namespace

std::unique_ptr<DirectPath> makeBusMaster(PortIo&) { return std::make_unique<NoEngine>(); }

}  // namespace tavo
