// The tool's argument readers on arbitrary text.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "arguments.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    (void)tavo::cli::parsePort(text);
    (void)tavo::cli::parseWhole(text);
    (void)tavo::cli::checkWhole(text, -5, 999999);
    return 0;
}
