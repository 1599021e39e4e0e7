// SPDX-License-Identifier: LGPL-2.1-or-later
// Windows has no Linux parallel-port devices: every base is out of reach,
// as with a ppdev device that cannot be opened, and that is said once.
#include "real_ports.h"
#include "report.h"

namespace tavo {
namespace {

class NoPpdevPort final : public PortIo {
  public:
    explicit NoPpdevPort(std::string device) : device_(std::move(device)) {}

    void write(uint16_t, uint8_t) override {}
    uint8_t read(uint16_t) override { return 0xFF; }
    uint32_t tickMs() override { return 0; }
    bool available(uint16_t) override {
        if (!reported_) {
            report("ppdev \"%s\": no parallel-port devices on Windows", device_.c_str());
            reported_ = true;
        }
        return false;
    }

  private:
    std::string device_;
    bool reported_ = false;
};

}  // namespace

std::unique_ptr<PortIo> makePpdevPort(const std::string& device) {
    return std::make_unique<NoPpdevPort>(device);
}

}  // namespace tavo
