// SPDX-License-Identifier: GPL-3.0-or-later
// Why the chosen backend cannot reach the printer ports a command needs, found
// before the library is called: the library answers -1 both for a module that
// is silent and for a port it could not have, and only the first is "no
// module answered".
#pragma once

#include <string>
#include <vector>

namespace tavo::cli {

// backend is a TAVO32_BACKEND value (empty: the default bench; null, unset:
// the library's own choice, which it says itself).
// Empty when the backend can reach at least one of bases, or when only the
// library can tell (a driver); otherwise the reason in words.
std::string backendProblem(const char* backend, const std::vector<int>& bases);

}  // namespace tavo::cli
