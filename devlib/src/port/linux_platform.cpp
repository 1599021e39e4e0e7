// SPDX-License-Identifier: LGPL-2.1-or-later
// Linux has no version query and no driver devices: the simulated bench
// stands in for the printer port unless TAVO32_BACKEND says otherwise.
#include "platform.h"

namespace tavo {

BackendChoice platformBackend() {
    return parseBackend(nullptr);
}

std::unique_ptr<DriverDevice> makeSystemDriver(const std::string&) {
    return nullptr;
}

}  // namespace tavo
