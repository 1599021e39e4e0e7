// Port backends for real hardware.
#pragma once

#include <memory>
#include <string>

#include "port_io.h"

namespace tavo {

// Linux ppdev. device empty: each base is mapped to the /dev/parportN whose
// base address the kernel reports. Never null; unreachable bases report
// available() == false (and are reported once on stderr).
std::unique_ptr<PortIo> makePpdevPort(const std::string& device);

// Raw x86 port I/O through ioperm (root, x86 only). Null, with a reason in
// *error, where that is impossible.
std::unique_ptr<PortIo> makeIoPort(std::string* error);

}  // namespace tavo
