// SPDX-License-Identifier: LGPL-2.1-or-later
// The library's process-wide state, kept in one place: the access mode, the
// port backend and direct-path engine, and the driver device and channel.
// Created zeroed at load; nothing runs at load or unload.
#pragma once

#include <cstdint>
#include <memory>

#include "direct_path.h"
#include "driver_channel.h"
#include "driver_device.h"
#include "port/port_io.h"
#include "port_lock.h"
#include "tavo32_ext.h"

namespace tavo {

// AccessMode values. 95 and 40 are the characters '_' and '('.
enum : int16_t {
    kModeUndetermined = 0,
    kModeDirect = 95,
    kModeDriver = 40,
    kModeUnsupported = -1,
};

struct LibraryState {
    // Held by every export for its whole call: detection, the lazy engine and
    // one bus transaction (or one request record) happen as one piece, so
    // callers on several threads never interleave on the wires. The engine's
    // timing counts and the register it last addressed are shared by the
    // three bases, and the driver path has one device, so each path is one
    // port to lock.
    PortLock portLock;

    // Set once, at the first call of any export; never re-detected.
    int16_t accessMode = kModeUndetermined;
    // Which backend that mode runs on and why, for tavo32_backend().
    tavo32_backend_info backend{};

    // Direct path. The engine keeps a reference to the port, so it is
    // declared after it (destroyed first) and made only on first use.
    std::unique_ptr<PortIo> port;
    std::unique_ptr<DirectPath> engine;
    DirectPath* direct = nullptr;  // engine, or a path installed by a test

    // Driver path. The channel points at device (or at a test's device).
    std::unique_ptr<DriverDevice> device;
    DriverChannel channel;
};

LibraryState& libraryState();

// The direct path of this process: an installed one, or the bus master over
// the chosen port, made at its first use. Null when there is neither.
DirectPath* directPath();

// Only for tests, which need a fresh library per test. Hidden like every
// other internal name: the shared library exports nothing but the 20 calls.
namespace testing {

// Back to the state of a fresh load (mode undetermined, nothing made).
void resetLibrary();
// Fresh state with mode set and path used for every direct-path call; path
// stays in use until the next reset and must live that long.
void installDirectPath(DirectPath& path, int16_t mode = kModeDirect);
// Fresh state with mode set and device behind the driver channel (closed);
// device stays in use until the next reset and must live that long.
void installDriverDevice(DriverDevice& device, int16_t mode = kModeDriver);
int16_t accessMode();

}  // namespace testing

}  // namespace tavo
