// SPDX-License-Identifier: LGPL-2.1-or-later
// The simulated bench as one more port backend. The engine sees only a
// PortIo; the bench itself is named in one place, devlib/compose/, which
// puts the library together.
#pragma once

#include <memory>
#include <string>

#include "port_io.h"

namespace tavo {

// benchFile empty: the built-in bench. Null, with a message naming the
// file, the line and what is wrong in *error, when the file cannot be used.
std::unique_ptr<PortIo> makeBenchPort(const std::string& benchFile, std::string* error);

}  // namespace tavo
