// SPDX-License-Identifier: GPL-3.0-or-later
#include "handshake.h"

#include <algorithm>

namespace tavod {

namespace wire = tavo::wire;

ServerHandshake::ServerHandshake(const std::string& secret, const wire::Nonce& nonce)
    : secret_(secret), nonce_(nonce) {}

std::vector<uint8_t> ServerHandshake::hello() const {
    std::vector<uint8_t> bytes(wire::kHelloMagic.begin(), wire::kHelloMagic.end());
    bytes.insert(bytes.end(), nonce_.begin(), nonce_.end());
    return bytes;
}

ServerHandshake::Status ServerHandshake::feed(const uint8_t* data, std::size_t size,
                                              std::size_t* used) {
    *used = 0;
    if (status_ != Status::Incomplete) return status_;
    *used = std::min(size, wire::kAnswerSize - answer_.size());
    answer_.insert(answer_.end(), data, data + *used);
    if (answer_.size() < wire::kAnswerSize) return status_;

    wire::Nonce client{};
    wire::Mac given{};
    std::copy_n(answer_.begin(), client.size(), client.begin());
    std::copy_n(answer_.begin() + client.size(), given.size(), given.begin());
    wire::Mac expected{};
    const bool ok = wire::clientProof(secret_, nonce_, client, &expected) &&
                    wire::sameMac(expected, given) &&
                    wire::serverProof(secret_, nonce_, client, &proof_);
    status_ = ok ? Status::Accepted : Status::Refused;
    return status_;
}

}  // namespace tavod
