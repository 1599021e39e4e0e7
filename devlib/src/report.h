// SPDX-License-Identifier: LGPL-2.1-or-later
// The library's one way of telling a person what went wrong: a line on
// stderr with the "TAVO_32:" prefix. Callers still return their codes;
// this only explains them.
#pragma once

namespace tavo {

// printf-style, without the prefix and the newline.
void report(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace tavo
