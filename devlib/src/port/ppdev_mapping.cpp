// SPDX-License-Identifier: LGPL-2.1-or-later
#include "ppdev_mapping.h"

#include <charconv>

#include "port_io.h"

namespace tavo {

uint16_t printerPortBase(std::string_view text) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        text.remove_prefix(2);
    else if (!text.empty() && (text.back() == 'H' || text.back() == 'h'))
        text.remove_suffix(1);
    unsigned value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return 0;
    return isPrinterPortBase(value) ? static_cast<uint16_t>(value) : 0;
}

bool parsePpdevMappings(std::string_view text, std::vector<PpdevMapping>* mappings,
                        std::string* error) {
    mappings->clear();
    if (text.empty()) return true;
    while (true) {
        const size_t comma = text.find(',');
        const std::string_view item = text.substr(0, comma);
        const size_t equals = item.find('=');
        PpdevMapping m;
        m.device = std::string(item.substr(0, equals));
        if (m.device.empty()) {
            *error = "ppdev: an empty device name in \"" + std::string(text) + "\"";
            return false;
        }
        if (equals != std::string_view::npos) {
            const std::string_view base = item.substr(equals + 1);
            m.base = printerPortBase(base);
            if (m.base == 0) {
                *error = "ppdev: bad port base '" + std::string(base) + "' for " + m.device +
                         " (use 378H, 278H or 3BCH)";
                return false;
            }
        }
        for (const PpdevMapping& other : *mappings) {
            if (other.device == m.device || (m.base != 0 && other.base == m.base)) {
                *error = "ppdev: " + std::string(other.device == m.device ? m.device : "a base") +
                         " is given twice";
                return false;
            }
        }
        mappings->push_back(m);
        if (comma == std::string_view::npos) return true;
        text.remove_prefix(comma + 1);
    }
}

}  // namespace tavo
