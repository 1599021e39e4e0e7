// Placeholder until the simulated bench lands: an idle port with released lines.
#include "sim_factory.h"

namespace tavo::sim {
namespace {
class IdlePort final : public PortIo {
public:
    void write(uint16_t, uint8_t) override {}
    uint8_t read(uint16_t) override { return 0xFF; }
    uint32_t tickMs() override { return ticks_++; }

private:
    uint32_t ticks_ = 0;
};
}  // namespace

std::unique_ptr<PortIo> makeSimPort(const std::string&, std::string*) {
    return std::make_unique<IdlePort>();
}

}  // namespace tavo::sim
