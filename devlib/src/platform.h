// SPDX-License-Identifier: LGPL-2.1-or-later
// What the operating system offers, one implementation per system
// (port/linux_platform.cpp, port/win_platform.cpp, chosen by the build).
#pragma once

#include <memory>
#include <string>

#include "access_mode.h"
#include "driver_device.h"

namespace tavo {

// The backend when TAVO32_BACKEND is not set. Linux: the simulated bench.
// Windows: the version query's answer (port I/O on 9x, the driver device
// on the NT family, none elsewhere).
BackendChoice platformBackend();

// The operating system's driver device called name, not yet opened; null
// where the system has no such devices.
std::unique_ptr<DriverDevice> makeSystemDriver(const std::string& name);

}  // namespace tavo
