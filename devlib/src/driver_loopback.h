// SPDX-License-Identifier: LGPL-2.1-or-later
// `driver:loopback`: a request-level backend in the same process. It
// decodes each record by its code and performs the operation on a direct
// path, answering as the kernel driver would. It lets the whole driver path
// run on machines that have no such driver.
#pragma once

#include <memory>
#include <string>

#include "direct_path.h"
#include "driver_device.h"
#include "port/port_io.h"

namespace tavo {

class DriverLoopback final : public DriverDevice {
  public:
    // Over a given direct path, which must outlive the device; open() always
    // succeeds.
    explicit DriverLoopback(DirectPath& path);
    // Over its own bus master on the simulated bench benchFile ("" = the
    // built-in bench), made at the first open(). A bench that cannot be
    // loaded makes open() fail (reported on stderr once).
    static std::unique_ptr<DriverLoopback> onSimulatedBench(std::string benchFile);

    bool open() override;
    bool control(uint32_t code, const DriverRecord& request, DriverRecord& reply,
                 int16_t* blockBuffer) override;

  private:
    DriverLoopback() = default;

    DirectPath* path_ = nullptr;
    std::string benchFile_;
    bool reported_ = false;
    std::unique_ptr<PortIo> port_;
    std::unique_ptr<DirectPath> engine_;  // after port_: destroyed first
};

}  // namespace tavo
