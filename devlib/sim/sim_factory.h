// SPDX-License-Identifier: LGPL-2.1-or-later
// The simulated bench as a port backend.
#pragma once

#include <memory>
#include <string>

#include "src/port/port_io.h"

namespace tavo::sim {

// benchFile empty: the built-in default bench. A bench file that cannot be
// read or parsed gives null and a message naming the file, the line and
// what is wrong in *error. TAVO32_TRACE, when set, names a VCD trace file;
// a trace that cannot be written leaves the bench working and says why in
// *traceProblem.
std::unique_ptr<PortIo> makeSimPort(const std::string& benchFile, std::string* error,
                                    std::string* traceProblem = nullptr);

}  // namespace tavo::sim
