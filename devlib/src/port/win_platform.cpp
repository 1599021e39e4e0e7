// SPDX-License-Identifier: LGPL-2.1-or-later
// Windows: the version query's platform id chooses the path, and driver
// devices are opened through CreateFile.
#include <windows.h>

#include "platform.h"
#include "platform_mode.h"
#include "win_driver_device.h"
#include "win_version.h"

namespace tavo {

BackendChoice platformBackend() {
    using Kind = BackendChoice::Kind;
    switch (windowsAccessMode()) {
        case kModeDirect:
            return {Kind::IoPort, {}};
        case kModeDriver:
            return {Kind::Driver, kWinDriverPath};
        default:
            return {Kind::None, {}};
    }
}

std::unique_ptr<DriverDevice> makeSystemDriver(const std::string& name) {
    return std::make_unique<WinDriverDevice>(name);
}

std::unique_ptr<PortIo> automaticPort(PpdevProbe* probe) {
    *probe = {};
    return nullptr;
}

namespace testing {

void useAutomaticSystem(std::function<std::unique_ptr<PpdevSystem>()>) {}

}  // namespace testing

bool onNtKernel() {
    if (sizeof(void*) == 8) return true;  // there is no 64-bit Windows 9x
    // ntdll.dll is mapped into every process of the NT family from its start,
    // whatever version a compatibility mode reports; no 9x process has it
    // unless it loads it itself, which this library never does.
    return GetModuleHandleA("ntdll.dll") != nullptr;
}

int16_t windowsAccessMode() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;  // 148: the plain, not the extended, record
    const bool queried = GetVersionExA(&info) != 0;
    return accessModeForPlatform(queried, info.dwPlatformId, onNtKernel());
}

}  // namespace tavo
