// SPDX-License-Identifier: LGPL-2.1-or-later
// setenv and unsetenv, which the portable tests use, over the C runtime's
// _putenv_s. Windows has no empty variables: an empty value removes one.
#pragma once

#include <cstdlib>

inline int setenv(const char* name, const char* value, int overwrite) {
    if (!overwrite && std::getenv(name)) return 0;
    return _putenv_s(name, value) == 0 ? 0 : -1;
}

inline int unsetenv(const char* name) {
    return _putenv_s(name, "") == 0 ? 0 : -1;
}
