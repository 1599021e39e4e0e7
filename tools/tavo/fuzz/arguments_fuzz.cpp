// SPDX-License-Identifier: GPL-3.0-or-later
// The tool's argument readers on arbitrary text, with the ppdev device list
// that --backend hands to the library.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "arguments.h"
#include "src/port/ppdev_mapping.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    (void)tavo::cli::parsePort(text);
    (void)tavo::cli::parseWhole(text);
    (void)tavo::cli::checkWhole(text, -5, 999999);
    std::vector<tavo::PpdevMapping> mappings;
    std::string error;
    (void)tavo::parsePpdevMappings(text, &mappings, &error);
    return 0;
}
