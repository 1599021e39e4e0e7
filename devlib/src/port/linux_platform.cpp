// SPDX-License-Identifier: LGPL-2.1-or-later
// Linux has no version query and no driver devices. With TAVO32_BACKEND
// unset the library takes the first printer port that opens through ppdev,
// and the simulated bench where there is none or none can be had.
#include <utility>

#include "platform.h"
#include "ppdev_system.h"

namespace tavo {
namespace {

std::function<std::unique_ptr<PpdevSystem>()>& automaticSystem() {
    static std::function<std::unique_ptr<PpdevSystem>()> make;
    return make;
}

}  // namespace

BackendChoice platformBackend() {
    return {BackendChoice::Kind::Automatic, {}};
}

std::unique_ptr<PortIo> automaticPort(PpdevProbe* probe) {
    const auto& make = automaticSystem();
    return makeAutomaticPortWith(make ? make() : makeLinuxPpdevSystem(), probe);
}

std::unique_ptr<DriverDevice> makeSystemDriver(const std::string&) {
    return nullptr;
}

namespace testing {

void useAutomaticSystem(std::function<std::unique_ptr<PpdevSystem>()> make) {
    automaticSystem() = std::move(make);
}

}  // namespace testing

}  // namespace tavo
