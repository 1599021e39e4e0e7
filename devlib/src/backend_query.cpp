// SPDX-License-Identifier: LGPL-2.1-or-later
// tavo32_backend(): the extension that tells a program which backend the
// 20 calls run on and why (tavo32_ext.h).
#include <cstring>

#include "access_mode.h"
#include "library_state.h"
#include "tavo32_ext.h"

extern "C" TAVO32_API int32_t TAVO32_CALL tavo32_backend(tavo32_backend_info* info, int32_t size) {
    if (!info || size < static_cast<int32_t>(sizeof(tavo32_backend_info))) return -1;
    try {
        tavo::LibraryState& s = tavo::libraryState();
        // Under the calls' own lock: another thread may be choosing right now.
        const tavo::PortHold hold(s.portLock);
        // Asking chooses, as the first of the 20 calls would.
        if (s.accessMode == tavo::kModeUndetermined) tavo::DetectAccessMode();
        std::memcpy(info, &s.backend, sizeof s.backend);
        return 0;
    } catch (...) {
        return -1;
    }
}
