// SPDX-License-Identifier: LGPL-2.1-or-later
// Which /dev/parportN answers for which printer-port base, from the text after
// "ppdev:" in TAVO32_BACKEND: empty (every port the kernel knows at its own
// base), or devices separated by commas, each as DEVICE (the base the kernel
// reports for it) or DEVICE=BASE (378H, 278H or 3BCH; for cards whose own base
// is none of those).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tavo {

struct PpdevMapping {
    std::string device;
    uint16_t base = 0;  // 0: the kernel's base for the device
};

// False and *error for a malformed list (an empty device, a base that is not
// one of the three, a base or device given twice).
bool parsePpdevMappings(std::string_view text, std::vector<PpdevMapping>* mappings,
                        std::string* error);

// 0x378, 0x278, 0x3BC from "378H", "378h", "378", "0x378"; 0 for anything else.
uint16_t printerPortBase(std::string_view text);

}  // namespace tavo
