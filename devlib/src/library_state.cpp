// SPDX-License-Identifier: LGPL-2.1-or-later
#include "library_state.h"

#include "bus_master.h"

namespace tavo {
namespace {

constinit LibraryState g_state{};

}  // namespace

LibraryState& libraryState() {
    return g_state;
}

DirectPath* directPath() {
    LibraryState& s = g_state;
    if (!s.direct && s.port) {
        s.engine = makeBusMaster(*s.port);
        s.direct = s.engine.get();
    }
    return s.direct;
}

namespace testing {

void resetLibrary() {
    LibraryState& s = g_state;
    s.channel = DriverChannel();
    s.device.reset();
    s.direct = nullptr;
    s.engine.reset();
    s.port.reset();
    s.accessMode = kModeUndetermined;
    s.backend = {};
}

void installDirectPath(DirectPath& path, int16_t mode) {
    resetLibrary();
    g_state.direct = &path;
    g_state.accessMode = mode;
}

void installDriverDevice(DriverDevice& device, int16_t mode) {
    resetLibrary();
    g_state.channel = DriverChannel(&device);
    g_state.accessMode = mode;
}

int16_t accessMode() {
    return g_state.accessMode;
}

}  // namespace testing

}  // namespace tavo
