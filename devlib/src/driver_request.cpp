// SPDX-License-Identifier: LGPL-2.1-or-later
#include "driver_request.h"

namespace tavo {

DriverRecord DriverRequest::toBytes() const {
    DriverRecord bytes{};
    for (std::size_t i = 0; i < w.size(); ++i) {
        const auto u = static_cast<uint32_t>(w[i]);
        for (std::size_t b = 0; b < 4; ++b) bytes[4 * i + b] = static_cast<uint8_t>(u >> (8 * b));
    }
    return bytes;
}

DriverRequest DriverRequest::fromBytes(const DriverRecord& bytes) {
    DriverRequest r;
    for (std::size_t i = 0; i < r.w.size(); ++i) {
        uint32_t u = 0;
        for (std::size_t b = 0; b < 4; ++b) u |= static_cast<uint32_t>(bytes[4 * i + b]) << (8 * b);
        r.w[i] = static_cast<int32_t>(u);
    }
    return r;
}

}  // namespace tavo
