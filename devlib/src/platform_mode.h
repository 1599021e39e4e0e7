// The access mode the operating system's platform id calls for: the
// version query's answer, kept apart from the query so every platform's
// build can test it.
#pragma once

#include <cstdint>

#include "library_state.h"

namespace tavo {

// Platform ids of the Windows version query.
enum : uint32_t {
    kPlatformWin32s = 0,
    kPlatformWindows9x = 1,
    kPlatformWindowsNt = 2,
};

// queried false: the version query itself failed.
constexpr int16_t accessModeForPlatform(bool queried, uint32_t platformId) {
    if (!queried) return kModeUnsupported;
    switch (platformId) {
        case kPlatformWin32s:
        case kPlatformWindows9x:
            return kModeDirect;  // user code may do port I/O there
        case kPlatformWindowsNt:
            return kModeDriver;  // port I/O is privileged: the driver does it
        default:
            return kModeUnsupported;
    }
}

}  // namespace tavo
