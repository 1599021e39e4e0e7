// SPDX-License-Identifier: LGPL-2.1-or-later
// What the operating system offers, one implementation per system
// (port/linux_platform.cpp, port/win_platform.cpp, chosen by the build).
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "access_mode.h"
#include "driver_device.h"
#include "port/port_io.h"
#include "port/ppdev_probe.h"

namespace tavo {

class PpdevSystem;

// The backend when TAVO32_BACKEND is not set. Linux: Automatic, the first
// printer port that opens, else the simulated bench. Windows: the version
// query's answer (port I/O on 9x, the driver device on the NT family, none
// elsewhere).
BackendChoice platformBackend();

// Linux: the ppdev port of the Automatic choice, or null with *probe saying
// why none could be had. Windows never chooses Automatic: null, NoPort.
std::unique_ptr<PortIo> automaticPort(PpdevProbe* probe);

// The operating system's driver device called name, not yet opened; null
// where the system has no such devices.
std::unique_ptr<DriverDevice> makeSystemDriver(const std::string& name);

namespace testing {

// The system calls the Automatic choice probes and then uses; an empty
// function gives back the real ones.
void useAutomaticSystem(std::function<std::unique_ptr<PpdevSystem>()> make);

}  // namespace testing

}  // namespace tavo
