#include "report.h"

#include <cstdarg>
#include <cstdio>

namespace tavo {

void report(const char* format, ...) {
    // One buffer, one write: lines from two reports never interleave.
    char line[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    std::fprintf(stderr, "TAVO_32: %s\n", line);
}

}  // namespace tavo
