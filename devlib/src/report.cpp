// SPDX-License-Identifier: LGPL-2.1-or-later
#include "report.h"

#include <cstdarg>
#include <cstdio>
#include <string>

namespace tavo {

void report(const char* format, ...) {
    // Formatted first and written with the prefix in one call, so lines of
    // two reports never interleave. A bench file's path may be long: a
    // line that does not fit the buffer is formatted again at its size.
    char line[512];
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    const int length = std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    std::string longLine;
    if (length >= static_cast<int>(sizeof line)) {
        try {
            longLine.resize(static_cast<size_t>(length) + 1);
            std::vsnprintf(longLine.data(), longLine.size(), format, again);
        } catch (...) {
            longLine.clear();  // no memory: the line stays cut short
        }
    }
    va_end(again);
    std::fprintf(stderr, "TAVO_32: %s\n", longLine.empty() ? line : longLine.c_str());
}

}  // namespace tavo
