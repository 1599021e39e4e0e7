// SPDX-License-Identifier: LGPL-2.1-or-later
// The bench in force as bench-file text, for a user to start a bench file
// from: the built-in bench, or the named bench file once it loads.
#pragma once

#include <string>
#include <string_view>

namespace tavo::sim {

// backend is a TAVO32_BACKEND value: empty, "sim" or "sim:FILE". False and
// *error for another backend (it has no simulated bench) or a bench file
// that cannot be used (the loader's message).
bool benchTextInForce(std::string_view backend, std::string* text, std::string* error);

}  // namespace tavo::sim
