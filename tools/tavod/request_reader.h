// SPDX-License-Identifier: GPL-3.0-or-later
// Cuts one client's byte stream into request frames (devlib/src/
// socket_protocol.h). Anything that is not a whole, known request is a
// fault of that client: the server then closes its connection.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "driver_request.h"

namespace tavod {

struct Request {
    uint32_t code = 0;
    tavo::DriverRecord record{};
};

class RequestReader {
  public:
    enum class Status { Incomplete, Ready, Bad };

    // At most this many bytes wait unread; the server reads no more than
    // room() from the socket, so a client that sends ahead is held back by
    // its own socket.
    static constexpr std::size_t kCapacity = 4096;
    std::size_t room() const { return kCapacity - buffer_.size(); }
    void append(const uint8_t* data, std::size_t size);

    // Ready: *out holds the next request, which is taken from the buffer.
    // Bad: *why says what is wrong; the reader stays bad.
    Status next(Request* out, std::string* why);

    // Bytes of an unfinished frame are waiting.
    bool midFrame() const { return !buffer_.empty(); }

  private:
    std::vector<uint8_t> buffer_;
    std::string fault_;
};

}  // namespace tavod
