// SPDX-License-Identifier: LGPL-2.1-or-later
// Port backends for real hardware.
#pragma once

#include <memory>
#include <string>

#include "port_io.h"

namespace tavo {

class PpdevSystem;

// Linux ppdev. mapping is the text after "ppdev:" (see ppdev_mapping.h): empty
// maps each base to the /dev/parportN whose base the kernel reports; devices
// may be named, with a chosen base each. Null, with the reason reported, for
// a malformed mapping; otherwise unreachable bases report available() == false
// (each different reason is reported once) and are tried again at most once
// a second.
std::unique_ptr<PortIo> makePpdevPort(const std::string& mapping);
// The same over the given system calls (tests).
std::unique_ptr<PortIo> makePpdevPortWith(std::unique_ptr<PpdevSystem> system,
                                          const std::string& mapping);

// Raw x86 port I/O through ioperm (root, x86 only). Null, with a reason in
// *error, where that is impossible.
std::unique_ptr<PortIo> makeIoPort(std::string* error);

}  // namespace tavo
