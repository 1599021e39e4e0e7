// Placeholder until the real-port backends land.
#include "real_ports.h"

namespace tavo {
namespace {
class DeadPort final : public PortIo {
public:
    void write(uint16_t, uint8_t) override {}
    uint8_t read(uint16_t) override { return 0xFF; }
    uint32_t tickMs() override { return 0; }
    bool available(uint16_t) override { return false; }
};
}  // namespace

std::unique_ptr<PortIo> makePpdevPort(const std::string&) { return std::make_unique<DeadPort>(); }

std::unique_ptr<PortIo> makeIoPort(std::string* error) {
    if (error) *error = "raw port access is not built yet";
    return nullptr;
}

}  // namespace tavo
