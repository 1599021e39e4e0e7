// SPDX-License-Identifier: LGPL-2.1-or-later
// The Windows version query, as the access mode it calls for.
#pragma once

#include <cstdint>

namespace tavo {

// kModeDirect on a real Win32s or Windows 9x kernel, kModeDriver on the NT
// family (also when it reports 9x in a compatibility mode, and always in a
// 64-bit process), kModeUnsupported otherwise or when the query fails.
int16_t windowsAccessMode();

}  // namespace tavo
