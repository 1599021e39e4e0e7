// SPDX-License-Identifier: LGPL-2.1-or-later
// The direct-path engine: the two-wire module bus and the 12-bit converter
// scheme, bit-banged over a PortIo.
#pragma once

#include <memory>

#include "direct_path.h"
#include "port/port_io.h"

namespace tavo {

// The engine keeps a reference to port, which must outlive it.
std::unique_ptr<DirectPath> makeBusMaster(PortIo& port);

}  // namespace tavo
