// SPDX-License-Identifier: LGPL-2.1-or-later
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

// queried false: the version query itself failed. ntKernel: the process runs
// on an NT kernel whatever version the query reports (a compatibility mode
// reports 9x there; a 64-bit process is always on one, there being no 64-bit
// 9x). The port instructions would kill the process on such a kernel, so a
// 9x answer there takes the driver, as the NT family does.
constexpr int16_t accessModeForPlatform(bool queried, uint32_t platformId, bool ntKernel) {
    if (!queried) return kModeUnsupported;
    switch (platformId) {
        case kPlatformWin32s:
        case kPlatformWindows9x:
            // User code may do port I/O on a real 9x kernel.
            return ntKernel ? kModeDriver : kModeDirect;
        case kPlatformWindowsNt:
            return kModeDriver;  // port I/O is privileged: the driver does it
        default:
            return kModeUnsupported;
    }
}

}  // namespace tavo
