// The Windows version query, as the access mode it calls for.
#pragma once

#include <cstdint>

namespace tavo {

// kModeDirect on Win32s and Windows 9x, kModeDriver on the NT family,
// kModeUnsupported otherwise or when the query fails.
int16_t windowsAccessMode();

}  // namespace tavo
