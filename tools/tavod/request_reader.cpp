// SPDX-License-Identifier: GPL-3.0-or-later
#include "request_reader.h"

#include <algorithm>
#include <cstdio>

#include "socket_protocol.h"

namespace tavod {

namespace wire = tavo::wire;

void RequestReader::append(const uint8_t* data, std::size_t size) {
    buffer_.insert(buffer_.end(), data, data + std::min(size, room()));
}

RequestReader::Status RequestReader::next(Request* out, std::string* why) {
    if (!fault_.empty()) {
        *why = fault_;
        return Status::Bad;
    }
    if (buffer_.size() < 4) return Status::Incomplete;
    const uint32_t length = wire::getU32(buffer_.data());
    char text[96];
    if (length != wire::kRequestLength) {
        std::snprintf(text, sizeof text, "%s record (%u bytes, not %u)",
                      length < wire::kRequestLength ? "short" : "oversized", length,
                      wire::kRequestLength);
        fault_ = text;
    } else if (buffer_.size() >= 8 && !wire::isRequestCode(wire::getU32(buffer_.data() + 4))) {
        std::snprintf(text, sizeof text, "unknown request code 0x%08X",
                      wire::getU32(buffer_.data() + 4));
        fault_ = text;
    }
    if (!fault_.empty()) {
        *why = fault_;
        return Status::Bad;
    }
    if (buffer_.size() < wire::kRequestFrameSize) return Status::Incomplete;
    out->code = wire::getU32(buffer_.data() + 4);
    std::copy(buffer_.begin() + 8, buffer_.begin() + wire::kRequestFrameSize, out->record.begin());
    buffer_.erase(buffer_.begin(), buffer_.begin() + wire::kRequestFrameSize);
    return Status::Ready;
}

}  // namespace tavod
