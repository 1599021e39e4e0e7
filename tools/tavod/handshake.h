// SPDX-License-Identifier: GPL-3.0-or-later
// The server's side of the TCP handshake (devlib/src/socket_protocol.h): a
// fresh challenge per connection, the client's answer checked against the
// shared secret, and the server's own proof sent back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "socket_protocol.h"

namespace tavod {

class ServerHandshake {
  public:
    enum class Status { Incomplete, Accepted, Refused };

    // nonce must be fresh for every connection.
    ServerHandshake(const std::string& secret, const tavo::wire::Nonce& nonce);

    // What the server sends first.
    std::vector<uint8_t> hello() const;

    // Takes the client's bytes; *used says how many belong to the handshake
    // (the rest are requests). Accepted: proof() is what to send back.
    Status feed(const uint8_t* data, std::size_t size, std::size_t* used);
    const tavo::wire::Mac& proof() const { return proof_; }

  private:
    const std::string& secret_;
    tavo::wire::Nonce nonce_;
    std::vector<uint8_t> answer_;
    tavo::wire::Mac proof_{};
    Status status_ = Status::Incomplete;
};

}  // namespace tavod
