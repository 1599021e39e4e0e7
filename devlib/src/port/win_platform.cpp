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

int16_t windowsAccessMode() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;  // 148: the plain, not the extended, record
    const bool queried = GetVersionExA(&info) != 0;
    return accessModeForPlatform(queried, info.dwPlatformId);
}

}  // namespace tavo
