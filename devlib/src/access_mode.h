// SPDX-License-Identifier: LGPL-2.1-or-later
// Choosing the access path. The operating system decides (Windows: the
// version query's platform id; Linux: the first printer port that opens,
// else the simulated bench, see platform.h) unless TAVO32_SERVER=HOST:PORT
// names a port server (as driver:tcp: below) or the environment variable
// TAVO32_BACKEND names a backend:
//   sim[:bench-file]        simulated bench (also when set but empty)
//   ppdev[:/dev/parportN]   Linux parallel-port device
//   ioport                  raw x86 port I/O
//   driver[:loopback]       driver path over the in-process loopback device
//   driver:unix:PATH        driver path to the port server tavod on a socket file
//   driver:tcp:HOST:PORT    ... or over TCP (secret file in TAVO32_SECRET_FILE)
//   none                    unsupported platform
#pragma once

#include <string>

namespace tavo {

struct BackendChoice {
    // Automatic: what the system offers (platformBackend), never parsed.
    enum class Kind { Sim, Ppdev, IoPort, Driver, None, Unknown, Automatic };
    Kind kind = Kind::Sim;
    std::string argument;  // text after the first ':' (bench file, device, driver)
};

// value null or empty: the simulated default bench (an unset variable is
// the platform's choice, which DetectAccessMode asks for instead).
BackendChoice parseBackend(const char* value);

// Sets AccessMode (direct 95, driver 40, unsupported -1), the backend that
// goes with it and the account of that choice (LibraryState::backend). Run
// once per process, by the first exported call that finds the mode
// undetermined. Problems are reported on stderr and give the unsupported
// mode; so is a bench taken because no printer port could be had. Nothing
// escapes.
void DetectAccessMode();

}  // namespace tavo
