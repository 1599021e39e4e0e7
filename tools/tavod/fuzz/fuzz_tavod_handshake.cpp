// SPDX-License-Identifier: GPL-3.0-or-later
// The server's side of the TCP handshake: any answer, in pieces. Only the
// right proof may be accepted; the last input byte chooses whether the
// input is used as it is or with the right proof put in front.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "handshake.h"
#include "socket_protocol.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    namespace wire = tavo::wire;
    if (size < 2) return 0;
    const std::size_t piece = 1 + data[0] % 70;
    const bool prefixRightProof = data[size - 1] & 1;
    static const std::string secret = "fuzzing secret, 32 bytes long..";
    wire::Nonce serverNonce{};
    for (std::size_t i = 0; i < serverNonce.size(); ++i) serverNonce[i] = static_cast<uint8_t>(i);

    std::vector<uint8_t> input;
    wire::Nonce clientNonce{};
    if (prefixRightProof) {
        wire::Mac mac{};
        if (!wire::clientProof(secret, serverNonce, clientNonce, &mac)) __builtin_trap();
        input.insert(input.end(), clientNonce.begin(), clientNonce.end());
        input.insert(input.end(), mac.begin(), mac.end());
    }
    input.insert(input.end(), data + 1, data + size - 1);

    tavod::ServerHandshake handshake(secret, serverNonce);
    if (handshake.hello().size() != wire::kHelloSize) __builtin_trap();
    auto status = tavod::ServerHandshake::Status::Incomplete;
    std::size_t at = 0, taken = 0;
    while (at < input.size()) {
        const std::size_t n = std::min(piece, input.size() - at);
        std::size_t used = 0;
        status = handshake.feed(input.data() + at, n, &used);
        if (used > n) __builtin_trap();
        taken += used;
        at += n;
        if (status != tavod::ServerHandshake::Status::Incomplete) break;
    }
    if (taken > wire::kAnswerSize) __builtin_trap();
    // Accepted exactly when the first 64 bytes were the right answer.
    const bool right = prefixRightProof || (input.size() >= wire::kAnswerSize && [&] {
                           wire::Nonce nonce{};
                           std::copy_n(input.begin(), nonce.size(), nonce.begin());
                           wire::Mac mac{};
                           wire::clientProof(secret, serverNonce, nonce, &mac);
                           return std::equal(mac.begin(), mac.end(), input.begin() + 32);
                       }());
    if (input.size() >= wire::kAnswerSize &&
        (status == tavod::ServerHandshake::Status::Accepted) != right) {
        __builtin_trap();
    }
    return 0;
}
